#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// Where the DaVinci Resolve companion script comes from and where it goes.
struct ResolveScriptLocations
{
    QStringList sourceCandidates; // first existing file wins
    QString systemFolder;         // Resolve's machine-wide Utility script folder
    QString userFolder;           // per-user fallback when the system one is not writable

    // The shipped script beside the program (then three levels up, for a
    // build tree) and Resolve's platform folders.
    static ResolveScriptLocations standard();
};

// Installs "Korvex_AutoImport.py" into DaVinci Resolve's Utility script
// folder and repairs an installed copy that is missing or differs from the
// shipped one. GUI thread only; logs as "[ApplicationManager]".
class ResolveScriptInstaller : public QObject
{
    Q_OBJECT
public:
    explicit ResolveScriptInstaller(QObject *parent = nullptr);
    explicit ResolveScriptInstaller(ResolveScriptLocations locations, QObject *parent = nullptr);

    static QString scriptFileName() { return QStringLiteral("Korvex_AutoImport.py"); }

    // Copies the script into the system folder, or into the user folder when
    // the system folder cannot be created or written. Returns false with a
    // warning when no source exists or no copy succeeded. Never emits.
    bool install();

    // Compares the installed copy (system folder, else user folder) with the
    // shipped script and reinstalls when it is missing or differs, emitting
    // daVinciScriptInstalled(true) after a successful repair. Returns false
    // silently when no source exists; true when nothing needed doing.
    bool verifyAndInstall();

    // Target of the last successful install(); empty before one.
    QString installedPath() const { return m_installedPath; }

    const ResolveScriptLocations &locations() const { return m_locations; }

signals:
    void daVinciScriptInstalled(bool isAutoRepair);

private:
    QString sourcePath() const;
    QString existingInstalledCopy() const;
    bool copyInto(const QString &folder, const QString &source, QString &target);
    bool installAndAnnounce();

    ResolveScriptLocations m_locations;
    QString m_installedPath;
};
