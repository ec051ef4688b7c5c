.pragma library

// Shows a window created earlier; false when there is none or it no longer
// exists (a destroyed window reads as null or throws on use).
function showExisting(win) {
    if (!win)
        return false
    try {
        win.show()
        win.raise()
        win.requestActivate()
        return true
    } catch (e) {
        return false
    }
}

// Creates a window from a component file. Logs `failurePrefix` followed by
// the loader's error string and returns null when the file cannot be loaded.
function create(component, parentWindow, failurePrefix) {
    if (component.status !== 1 /* Component.Ready */) {
        console.error(failurePrefix + component.errorString())
        return null
    }
    var win = component.createObject(parentWindow)
    if (!win) {
        console.error(failurePrefix + component.errorString())
        return null
    }
    return win
}
