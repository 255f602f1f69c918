#pragma once

#include <QString>

// Decides, once, the folder that holds reminders.dat, PlanData, ClipData and the to-do files.
// A portable install keeps its data beside the program; everyone else gets the per-user data folder.
// Tests point it at a temporary folder with setPath().
class DataFolder final
{
public:
    static QString path();
    // Empty while the folder exists; else why it could not be made (said once, at start-up).
    static QString problem();
    static QString filePath(const QString &name);
    static void setPath(const QString &folder);
    // Removes what saves cut short by a crash left behind, in every folder the program writes (the
    // data folder, the tools' folders in it, the settings' folder). The copy that starts does this.
    static int removeInterruptedSaves();

    // The rule itself: programDir when it already holds the program's data and is writable, else userDir.
    // Tests pass their own writability check (a superuser may write anywhere).
    static QString choose(const QString &programDir, const QString &userDir,
        bool (*isWritable)(const QString &folder) = isWritableFolder);
    static bool isWritableFolder(const QString &folder);
};
