#pragma once

#include "core/error.h"

#include <string>
#include <string_view>
#include <vector>

class TWindowSystem;

// The clipboard could not be read or written; the message carries the reason.
class EClipboardError : public EError {
public:
    using EError::EError;
};

// The system clipboard as the program uses it: text only. The program's own
// documents travel as a fixed signature line followed by the document in its
// text syntax (the binary syntax holds NUL bytes, which text cannot carry);
// files travel as "file://" lines, one per file, as file managers exchange
// them.
//
// Whether the clipboard holds a document is remembered and asked again only
// after Changed (the window system reports every change of the clipboard),
// because asking the X server can block while another program answers.
//
//   Clipboard.SetText(ClipboardDocumentText(Data.SaveToText()));
//   if (Clipboard.HoldsDocument()) ... ClipboardDocumentBody(Clipboard.Text()) ...
class TClipboard {
public:
    virtual ~TClipboard() = default;

    // Raise EClipboardError when the clipboard cannot be read or written.
    std::string Text();
    void SetText(const std::string& Text);

    bool HoldsDocument();
    // The clipboard's content changed (by this program or another).
    void Changed() { FKnown = false; }

protected:
    virtual std::string DoGetText() = 0;
    virtual void DoSetText(const std::string& Text) = 0;

private:
    bool FKnown = false;
    bool FHoldsDocument = false;
};

// The window system's clipboard (the SDL one on a desktop).
class TWindowClipboard : public TClipboard {
public:
    explicit TWindowClipboard(TWindowSystem& System) : FSystem(System) {}

protected:
    std::string DoGetText() override;
    void DoSetText(const std::string& Text) override;

private:
    TWindowSystem& FSystem;
};

// A clipboard inside the process, for running without a display and for
// tests, which can make it fail.
class TMemoryClipboard : public TClipboard {
public:
    void SetFailing(bool Value) { FFailing = Value; }
    // How often the content was asked for: HoldsDocument asks once per change.
    int ReadCount() const { return FReadCount; }

protected:
    std::string DoGetText() override;
    void DoSetText(const std::string& Text) override;

private:
    std::string FText;
    bool FFailing = false;
    int FReadCount = 0;
};

// The application's clipboard: the one installed, else an in-process one.
TClipboard& ApplicationClipboard();
// Installs Clipboard (none: back to the in-process one); the caller keeps
// ownership and uninstalls it before it goes.
void SetApplicationClipboard(TClipboard* Clipboard);

// The first line of every document the program puts on the clipboard.
inline constexpr std::string_view ClipboardSignature = "Quillmoor clipboard document 1";
// Documents beyond this size are not read: no project selection comes near.
inline constexpr size_t MaxClipboardDocument = 64u << 20;

// The clipboard text for a document in its text syntax.
std::string ClipboardDocumentText(std::string_view DocumentText);
// Whether Text is such a clipboard text.
bool IsClipboardDocument(std::string_view Text);
// The document part of a clipboard text; empty when it is none (or too large).
std::string_view ClipboardDocumentBody(std::string_view Text);

// Files as "file://" lines (percent-encoded, lines ending in CR LF) and back;
// lines of other schemes, comments ("#") and empty lines are skipped.
std::string FormatFileList(const std::vector<std::string>& FileNames);
std::vector<std::string> ParseFileList(std::string_view Text);
