#include "app/Keybinds.h"

#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMetaObject>
#include <QObject>

bool Keybinds::setSourceKey(int sourceIndex, int key)
{
    if (sourceIndex < 0 || sourceIndex >= SourceCount)
        return false;
    m_keys[static_cast<size_t>(sourceIndex)] = key;
    return true;
}

int Keybinds::sourceKey(int sourceIndex) const
{
    if (sourceIndex < 0 || sourceIndex >= SourceCount)
        return 0;
    return m_keys[static_cast<size_t>(sourceIndex)];
}

QString Keybinds::sourceKeyName(int sourceIndex) const
{
    if (sourceIndex < 0 || sourceIndex >= SourceCount)
        return QString();
    return keyToString(sourceKey(sourceIndex));
}

QString Keybinds::keyToString(int key)
{
    if (key <= 0)
        return QString();
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return QString(QChar(key));
    const QString name = QKeySequence(key).toString(QKeySequence::NativeText);
    if (!name.isEmpty())
        return name;
    return QString::number(key);
}

int Keybinds::sourceForKey(int key) const
{
    for (int i = 0; i < SourceCount; ++i) {
        const int bound = m_keys[static_cast<size_t>(i)];
        if (bound != 0 && bound == key)
            return i + 1;
    }
    return 0;
}

bool Keybinds::isTextEntry(const QObject *focusObject)
{
    if (!focusObject)
        return false;
    static const char *const textEntryNames[] = {"TextInput", "TextEdit", "LineEdit", "TextField", "SpinBox"};
    const QString className = QString::fromLatin1(focusObject->metaObject()->className());
    for (const char *name : textEntryNames) {
        if (className.contains(QLatin1String(name), Qt::CaseSensitive))
            return true;
    }
    return false;
}

int Keybinds::sourceForEvent(const QEvent *event, const QObject *focusObject, bool capturingKeybind) const
{
    if (!event || event->type() != QEvent::KeyPress)
        return 0;
    if (capturingKeybind)
        return 0;
    if (isTextEntry(focusObject))
        return 0;
    const auto *keyEvent = static_cast<const QKeyEvent *>(event);
    return sourceForKey(keyEvent->key());
}
