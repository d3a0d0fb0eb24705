#pragma once

#include "core/geometry.h"

#include <memory>
#include <optional>
#include <string>

class TData;
class TFileHistory;

// The part of the program that lays out the main window's docks and the
// floating tool boxes, and stores them under "Desktop" in the sections
// "LeftDock", "TopDock", "RightDock", "BottomDock", "CenterDock",
// "ToolBar[i]" and "ToolWindow[i]". Reading builds the replacement aside,
// so that a layout that cannot be used changes nothing.
class TDesktopLayout {
public:
    virtual ~TDesktopLayout() = default;
    // With Data inside "Desktop": builds the layout stored there and keeps
    // it aside; raises EError, keeping nothing, when it is no usable layout.
    virtual void ReadLayout(TData& Data) = 0;
    // Shows the layout ReadLayout kept aside, in place of the current one.
    virtual void ApplyLayout() = 0;
    // Frees the layout ReadLayout kept aside.
    virtual void DiscardLayout() = 0;
    // With Data inside "Desktop": stores the current layout.
    virtual void WriteLayout(TData& Data) = 0;
};

// The main window's placement as the desktop file stores it.
struct TWindowPlacement {
    // The restored (normal) bounds; none when the file holds none.
    std::optional<TRect> BoundsRect;
    bool IsMaximized = false;
    // The maximised state kept for the alternate layout.
    bool AltLayoutIsMaximized = true;
};

// The desktop configuration document: the main window's placement, which
// the shell reads and writes itself, and the sections of the parts that
// store themselves (the five docks, the floating tool bars and tool
// windows, commands, snapping, the default track layout, the file history,
// the capture devices and the dialog folders). Those sections are kept as
// read and written back unchanged, so that nothing another part stored is
// lost while that part is not there to read it.
//
//   TDesktopFile Desktop;
//   Desktop.Load(FileName, TDesktopScope::Full, Current); // raises, changes nothing
//   Desktop.Save(FileName, TDesktopScope::Full, Placement);
//
// Full is for the desktop file itself; a named configuration leaves out the
// file history's entries, the capture devices and the dialog folders.
enum class TDesktopScope : uint8_t { Configuration, Full };

class TDesktopFile {
public:
    TDesktopFile();
    ~TDesktopFile();
    TDesktopFile(const TDesktopFile&) = delete;
    TDesktopFile& operator=(const TDesktopFile&) = delete;

    // Reads and checks FileName whole before anything changes: a file that
    // is not a regular file, is larger than MaxDesktopFileSize, cannot be
    // read or holds none of the desktop's sections raises EError
    // and leaves this object as it was. Values missing from the file take
    // those of Current.
    void Load(const std::string& FileName, TDesktopScope Scope, const TWindowPlacement& Current);
    const TWindowPlacement& Placement() const { return FPlacement; }

    // The history that reads and writes the "FileHistory" section (null:
    // the section is kept as read, like the others). It is read only from
    // the desktop file itself (Full); a named configuration stores just its
    // "MaxCount".
    void SetFileHistory(TFileHistory* History) { FHistory = History; }
    TFileHistory* FileHistory() const { return FHistory; }

    // The layout that reads and writes the dock and tool-box sections
    // (null: they are kept as read, like the others). A file without any of
    // them leaves the current layout.
    void SetLayout(TDesktopLayout* Layout) { FLayout = Layout; }

    // The document for Placement and the kept sections.
    std::string SaveToText(TDesktopScope Scope, const TWindowPlacement& Placement) const;
    // Writes it to FileName (replacing the file as a whole; a link is
    // followed, so the file it leads to is replaced and the link stays).
    void Save(const std::string& FileName, TDesktopScope Scope, const TWindowPlacement& Placement) const;

private:
    void Write(TData& Out, TDesktopScope Scope, const TWindowPlacement& Placement) const;

    TWindowPlacement FPlacement;
    std::unique_ptr<TData> FKept;
    TFileHistory* FHistory = nullptr;
    TDesktopLayout* FLayout = nullptr;
};

// Moves Rect (never resizes it) so that it lies within Desktop; a rectangle
// wider or taller than the desktop starts at its left or top edge.
TRect FitRectOnDesktop(const TRect& Rect, const TRect& Desktop);

// Whether a file may be stored over: it does not exist yet, or it is a
// regular file the user may write and whose mode is not read-only (root may
// write anything, but a file marked read-only stays so). A link is judged by
// the file it leads to. The atomic writer would otherwise replace it.
bool IsWritableOrMissing(const std::string& FileName);

// Whether two names reach the same file: the same device and inode when
// both exist, else the same absolute path once "." and ".." and repeated
// slashes are gone.
bool IsSameFile(const std::string& A, const std::string& B);

// The largest desktop or configuration file read; a larger one is refused
// before it is read.
constexpr int64_t MaxDesktopFileSize = 16 * 1024 * 1024;
