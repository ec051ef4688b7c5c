#pragma once

#include <QString>

#include <array>

class QEvent;
class QObject;

// The four source hotkeys and the rule that turns a key press into a source.
// GUI thread only.
class Keybinds
{
public:
    static constexpr int SourceCount = 4;

    // Stores key for sourceIndex 0..3 (any integer, duplicates allowed).
    // Returns false and changes nothing for any other index.
    bool setSourceKey(int sourceIndex, int key);
    // The key of sourceIndex 0..3; 0 for any other index.
    int sourceKey(int sourceIndex) const;
    // keyToString of the stored key; empty for any other index.
    QString sourceKeyName(int sourceIndex) const;

    // Empty for key <= 0, the digit for 48..57, else the platform's name of
    // the key, or its decimal code when the platform has no name for it.
    static QString keyToString(int key);

    // The source (1..4) of the first hotkey equal to key, 0 when none
    // matches. Hotkeys set to 0 are skipped.
    int sourceForKey(int key) const;

    // True when keys must reach the focused item untouched: text fields,
    // text editors and spin boxes, by their class name.
    static bool isTextEntry(const QObject *focusObject);

    // The source a key press selects, or 0 when the event must go through:
    // not a key press, a key binding being captured, typing into a text
    // entry, or no hotkey matching. Modifiers are not examined.
    int sourceForEvent(const QEvent *event, const QObject *focusObject, bool capturingKeybind) const;

private:
    std::array<int, SourceCount> m_keys{49, 50, 51, 52};
};
