#include "app/desktop_file.h"

#include "app/file_history.h"

#include "core/data.h"
#include "core/error.h"
#include "core/file_io.h"
#include "core/text.h"
#include "core/text_table.h"

#include <cerrno>
#include <filesystem>
#include <span>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view DockNames[] = {"LeftDock", "TopDock", "RightDock", "BottomDock", "CenterDock"};
// Sections under "Desktop" kept as lists: every "ToolBar[i]", "ToolWindow[i]".
constexpr std::string_view ToolBoxPrefixes[] = {"ToolBar[", "ToolWindow["};
constexpr std::string_view KeptSections[] = {"Commands", "Edit", "Timeline"};
constexpr std::string_view FullOnlySections[] = {"Capture", "InitialDirs"};

const TDataList* Child(const TDataList* List, std::string_view Name) {
    if (!List)
        return nullptr;
    int32_t Index = List->IndexOf(Name);
    return Index < 0 ? nullptr : List->Entry(Index).Children.get();
}

// Copies the entries of From into the current section of To.
void CopyEntries(const TDataList& From, TData& To) {
    for (int32_t I = 0; I < From.Count(); ++I) {
        const TDataList::TEntry& Entry = From.Entry(I);
        if (!Entry.Children) {
            To.WriteRaw(Entry.Name, Entry.Value);
            continue;
        }
        if (!Entry.Value.empty())
            To.WriteRaw(Entry.Name, Entry.Value);
        TDataSection Section(To, Entry.Name);
        CopyEntries(*Entry.Children, To);
    }
}

// Copies the section Name of From (if it is there) into To's current list.
void CopySection(const TDataList* From, std::string_view Name, TData& To) {
    if (const TDataList* Section = Child(From, Name)) {
        TDataSection Target(To, Name);
        CopyEntries(*Section, To);
    }
}

} // namespace

TDesktopFile::TDesktopFile() : FKept(std::make_unique<TData>()) {}
TDesktopFile::~TDesktopFile() = default;

void TDesktopFile::Load(const std::string& FileName, TDesktopScope Scope, const TWindowPlacement& Current) {
    // Looked at before it is opened: a named pipe would block the start and
    // a device or a huge file would fill the memory.
    TFileStatus Status = QueryFileStatus(FileName);
    if (Status.Error == 0 && (!Status.IsRegular || Status.Size > MaxDesktopFileSize))
        RaiseError(FormatMessageText(GetText(TTextSlot::NotADesktopFile), FileName));
    auto Document = std::make_unique<TData>();
    Document->LoadFromFile(FileName);
    bool Known = Document->Exists("Desktop");
    for (std::string_view Name : KeptSections)
        Known = Known || Document->Exists(Name);
    if (!Known)
        RaiseError(FormatMessageText(GetText(TTextSlot::NotADesktopFile), FileName));

    TWindowPlacement Placement = Current;
    bool HasLayout = false;
    if (Document->Exists("Desktop")) {
        TDataSection Desktop(*Document, "Desktop");
        if (Document->Exists("Main")) {
            TDataSection Main(*Document, "Main");
            // An empty rectangle stands for "not stored" (the window's
            // current bounds stay).
            TRect Bounds = Document->ReadRect("BoundsRect", TRect{});
            if (!Bounds.IsEmpty())
                Placement.BoundsRect = Bounds;
            Placement.IsMaximized = Document->ReadBool("IsMaximized", Current.IsMaximized);
            TDataSection Alt(*Document, "AltLayout");
            Placement.AltLayoutIsMaximized = Document->ReadBool("IsMaximized", !Placement.IsMaximized);
        }
        if (FLayout) {
            for (std::string_view Name : DockNames)
                HasLayout = HasLayout || Document->Exists(Name);
            for (std::string_view Prefix : ToolBoxPrefixes)
                HasLayout = HasLayout || Document->Exists(std::string(Prefix) + "0]");
            if (HasLayout)
                FLayout->ReadLayout(*Document);
        }
    }
    if (Scope != TDesktopScope::Full) {
        // A named configuration leaves the capture devices, the dialog
        // folders and the history's entries as they were.
        try {
            for (std::string_view Name : FullOnlySections)
                CopySection(FKept->Root(), Name, *Document);
        } catch (...) {
            if (HasLayout)
                FLayout->DiscardLayout();
            throw;
        }
    }
    FPlacement = Placement;
    FKept = std::move(Document);
    if (HasLayout)
        FLayout->ApplyLayout();
    if (FHistory && Scope == TDesktopScope::Full && FKept->Exists("FileHistory")) {
        TDataSection History(*FKept, "FileHistory");
        FHistory->LoadFromData(*FKept, Scope);
    }
}

void TDesktopFile::Write(TData& Out, TDesktopScope Scope, const TWindowPlacement& Placement) const {
    const TDataList* Kept = FKept->Root();
    const TDataList* KeptDesktop = Child(Kept, "Desktop");
    {
        TDataSection Desktop(Out, "Desktop");
        CopySection(KeptDesktop, "Appearance", Out);
        {
            TDataSection Main(Out, "Main");
            if (Placement.BoundsRect)
                Out.WriteRect("BoundsRect", *Placement.BoundsRect);
            Out.WriteBool("IsMaximized", Placement.IsMaximized);
            TDataSection Alt(Out, "AltLayout");
            Out.WriteBool("IsMaximized", Placement.AltLayoutIsMaximized);
        }
        if (FLayout)
            FLayout->WriteLayout(Out);
        for (std::string_view Name : DockNames)
            if (!FLayout)
                CopySection(KeptDesktop, Name, Out);
        // Floating tool boxes, numbered from 0 again in the order stored.
        for (std::string_view Prefix : FLayout ? std::span<const std::string_view>() : ToolBoxPrefixes) {
            int32_t Number = 0;
            for (int32_t I = 0; KeptDesktop && I < KeptDesktop->Count(); ++I) {
                const TDataList::TEntry& Entry = KeptDesktop->Entry(I);
                if (!Entry.Children || !StartsWithText(Entry.Name, Prefix))
                    continue;
                TDataSection Box(Out, std::string(Prefix) + std::to_string(Number++) + "]");
                CopyEntries(*Entry.Children, Out);
            }
        }
    }
    for (std::string_view Name : KeptSections)
        CopySection(Kept, Name, Out);
    if (FHistory) {
        TDataSection Section(Out, "FileHistory");
        FHistory->SaveToData(Out, Scope);
    } else if (const TDataList* History = Child(Kept, "FileHistory")) {
        TDataSection Section(Out, "FileHistory");
        if (Scope == TDesktopScope::Full)
            CopyEntries(*History, Out);
        else if (int32_t Index = History->IndexOf("MaxCount"); Index >= 0)
            Out.WriteRaw("MaxCount", History->Entry(Index).Value);
    }
    if (Scope == TDesktopScope::Full)
        for (std::string_view Name : FullOnlySections)
            CopySection(Kept, Name, Out);
}

std::string TDesktopFile::SaveToText(TDesktopScope Scope, const TWindowPlacement& Placement) const {
    TData Out;
    Write(Out, Scope, Placement);
    return Out.SaveToText();
}

void TDesktopFile::Save(const std::string& FileName, TDesktopScope Scope,
                        const TWindowPlacement& Placement) const {
    TData Out;
    Write(Out, Scope, Placement);
    // A desktop file the user keeps behind a link (in a dotfiles folder,
    // say) is replaced where it lies, and the link stays.
    Out.SaveToFile(FollowLinks(FileName));
}

TRect FitRectOnDesktop(const TRect& Rect, const TRect& Desktop) {
    auto Place = [](int32_t Start, int32_t Size, int32_t Low, int32_t High) {
        if (Size >= High - Low)
            return Low;
        if (Start + Size > High)
            Start = High - Size;
        return Start < Low ? Low : Start;
    };
    int32_t Left = Place(Rect.Left, Rect.Width(), Desktop.Left, Desktop.Right);
    int32_t Top = Place(Rect.Top, Rect.Height(), Desktop.Top, Desktop.Bottom);
    return TRect::FromSize(Left, Top, Rect.Width(), Rect.Height());
}

bool IsWritableOrMissing(const std::string& FileName) {
    struct stat Info {};
    if (::stat(FileName.c_str(), &Info) != 0)
        return errno == ENOENT;
    return S_ISREG(Info.st_mode) && (Info.st_mode & 0222) != 0 && ::access(FileName.c_str(), W_OK) == 0;
}

bool IsSameFile(const std::string& A, const std::string& B) {
    struct stat InfoA {}, InfoB {};
    if (::stat(A.c_str(), &InfoA) == 0 && ::stat(B.c_str(), &InfoB) == 0)
        return InfoA.st_dev == InfoB.st_dev && InfoA.st_ino == InfoB.st_ino;
    std::error_code Error;
    std::filesystem::path PathA = std::filesystem::absolute(A, Error).lexically_normal();
    std::filesystem::path PathB = std::filesystem::absolute(B, Error).lexically_normal();
    return PathA == PathB;
}
