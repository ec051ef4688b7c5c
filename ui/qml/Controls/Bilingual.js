.pragma library

// The interface has no translation catalogue: every bilingual label holds both
// texts and shows the English one exactly when the UI language is "EN".
function pick(language, english, serbian) {
    return language === "EN" ? english : serbian
}
