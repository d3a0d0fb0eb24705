#include "platform/clipboard.h"

#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/window/window_system.h"

#include <exception>

namespace {

[[noreturn]] void RaiseClipboardError(TTextSlot Slot, const std::string& Reason) {
    throw EClipboardError(FormatMessageText(GetText(Slot), Reason));
}

TClipboard* InstalledClipboard = nullptr;

bool IsUnreserved(unsigned char Char) {
    return (Char >= 'A' && Char <= 'Z') || (Char >= 'a' && Char <= 'z') ||
           (Char >= '0' && Char <= '9') || Char == '-' || Char == '.' || Char == '_' ||
           Char == '~' || Char == '/';
}

int HexValue(char Char) {
    if (Char >= '0' && Char <= '9')
        return Char - '0';
    if (Char >= 'a' && Char <= 'f')
        return Char - 'a' + 10;
    if (Char >= 'A' && Char <= 'F')
        return Char - 'A' + 10;
    return -1;
}

} // namespace

std::string TClipboard::Text() {
    try {
        return DoGetText();
    } catch (const EClipboardError&) {
        throw;
    } catch (const std::exception& Error) {
        RaiseClipboardError(TTextSlot::ClipboardCannotRead, Error.what());
    }
}

void TClipboard::SetText(const std::string& Text) {
    FKnown = false;
    try {
        DoSetText(Text);
    } catch (const EClipboardError&) {
        throw;
    } catch (const std::exception& Error) {
        RaiseClipboardError(TTextSlot::ClipboardCannotWrite, Error.what());
    }
}

bool TClipboard::HoldsDocument() {
    if (!FKnown) {
        try {
            FHoldsDocument = IsClipboardDocument(Text());
        } catch (const EClipboardError&) {
            FHoldsDocument = false;
        }
        FKnown = true;
    }
    return FHoldsDocument;
}

std::string TWindowClipboard::DoGetText() {
    return FSystem.ClipboardText();
}

void TWindowClipboard::DoSetText(const std::string& Text) {
    FSystem.SetClipboardText(Text);
}

std::string TMemoryClipboard::DoGetText() {
    ++FReadCount;
    if (FFailing)
        RaiseClipboardError(TTextSlot::ClipboardCannotRead, "failing on purpose");
    return FText;
}

void TMemoryClipboard::DoSetText(const std::string& Text) {
    if (FFailing)
        RaiseClipboardError(TTextSlot::ClipboardCannotWrite, "failing on purpose");
    FText = Text;
}

TClipboard& ApplicationClipboard() {
    static TMemoryClipboard InProcess;
    return InstalledClipboard ? *InstalledClipboard : InProcess;
}

void SetApplicationClipboard(TClipboard* Clipboard) {
    InstalledClipboard = Clipboard;
}

std::string ClipboardDocumentText(std::string_view DocumentText) {
    std::string Text(ClipboardSignature);
    Text += '\n';
    Text += DocumentText;
    return Text;
}

bool IsClipboardDocument(std::string_view Text) {
    return Text.size() <= MaxClipboardDocument && Text.size() > ClipboardSignature.size() &&
           Text.substr(0, ClipboardSignature.size()) == ClipboardSignature &&
           (Text[ClipboardSignature.size()] == '\n' || Text[ClipboardSignature.size()] == '\r');
}

std::string_view ClipboardDocumentBody(std::string_view Text) {
    if (!IsClipboardDocument(Text))
        return {};
    size_t Start = Text.find('\n');
    return Start == std::string_view::npos ? std::string_view() : Text.substr(Start + 1);
}

std::string FormatFileList(const std::vector<std::string>& FileNames) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string Text;
    for (const std::string& Name : FileNames) {
        Text += "file://";
        for (unsigned char Char : Name)
            if (IsUnreserved(Char)) {
                Text += char(Char);
            } else {
                Text += '%';
                Text += Hex[Char >> 4];
                Text += Hex[Char & 15];
            }
        Text += "\r\n";
    }
    return Text;
}

std::vector<std::string> ParseFileList(std::string_view Text) {
    std::vector<std::string> Names;
    while (!Text.empty()) {
        size_t End = Text.find('\n');
        std::string_view Line = Text.substr(0, End);
        Text = End == std::string_view::npos ? std::string_view() : Text.substr(End + 1);
        if (!Line.empty() && Line.back() == '\r')
            Line.remove_suffix(1);
        if (!Line.starts_with("file://"))
            continue;
        Line.remove_prefix(7);
        // "file://host/path": only this machine's files ("localhost" or none).
        size_t Slash = Line.find('/');
        if (Slash == std::string_view::npos)
            continue;
        std::string_view Host = Line.substr(0, Slash);
        if (!Host.empty() && Host != "localhost")
            continue;
        Line.remove_prefix(Slash);
        std::string Name;
        bool Valid = true;
        for (size_t I = 0; I < Line.size(); ++I) {
            if (Line[I] != '%') {
                Name += Line[I];
                continue;
            }
            int High = I + 2 < Line.size() ? HexValue(Line[I + 1]) : -1;
            int Low = I + 2 < Line.size() ? HexValue(Line[I + 2]) : -1;
            if (High < 0 || Low < 0 || (High == 0 && Low == 0)) {
                Valid = false;
                break;
            }
            Name += char(High * 16 + Low);
            I += 2;
        }
        if (Valid)
            Names.push_back(std::move(Name));
    }
    return Names;
}
