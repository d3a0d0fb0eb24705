#include "toolkit/controls/text_editor.h"

#include "platform/text/utf8.h"

#include <algorithm>

namespace {

bool IsContinuation(char C) { return (static_cast<unsigned char>(C) & 0xC0) == 0x80; }

// What a word jump stops at: runs of blanks, of word characters (letters,
// digits, "_" and every character beyond ASCII) and of punctuation.
enum class TCharClass : uint8_t { Blank, Word, Punctuation };

TCharClass ClassOf(char C) {
    auto Byte = static_cast<unsigned char>(C);
    if (Byte == ' ' || Byte == '\t' || Byte == '\n')
        return TCharClass::Blank;
    if (Byte >= 0x80 || Byte == '_' || (Byte >= '0' && Byte <= '9') || (Byte >= 'a' && Byte <= 'z') ||
        (Byte >= 'A' && Byte <= 'Z'))
        return TCharClass::Word;
    return TCharClass::Punctuation;
}

} // namespace

int32_t TTextEditor::CountCharacters(std::string_view Text) {
    int32_t Count = 0;
    for (char C : Text)
        if (!IsContinuation(C))
            ++Count;
    return Count;
}

std::string TTextEditor::Clean(std::string_view Text) const {
    std::string Sane = SanitizeUtf8(Text);
    std::string Result;
    Result.reserve(Sane.size());
    for (size_t I = 0; I < Sane.size(); ++I) {
        char C = Sane[I];
        if (C == '\r' || C == '\n') {
            if (FLines == TTextLines::Single)
                break;
            if (C == '\r' && I + 1 < Sane.size() && Sane[I + 1] == '\n')
                ++I;
            Result += '\n';
        } else if (C == '\t' || static_cast<unsigned char>(C) >= 0x20) {
            if (C != 0x7F)
                Result += C;
        }
    }
    return Result;
}

void TTextEditor::SetText(std::string_view Text) {
    FText.clear();
    FCaret = FAnchor = 0;
    Insert(Text);
    FCaret = FAnchor = 0;
}

std::string TTextEditor::SelectedText() const {
    return FText.substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

size_t TTextEditor::Snap(size_t Offset) const {
    Offset = std::min(Offset, FText.size());
    while (Offset > 0 && Offset < FText.size() && IsContinuation(FText[Offset]))
        --Offset;
    return Offset;
}

void TTextEditor::SetSelection(size_t Anchor, size_t Caret) {
    FAnchor = Snap(Anchor);
    FCaret = Snap(Caret);
}

void TTextEditor::MoveTo(size_t Offset, TSelect Select) {
    FCaret = Snap(Offset);
    if (Select == TSelect::Move)
        FAnchor = FCaret;
}

void TTextEditor::SelectWordAt(size_t Offset) {
    Offset = Snap(Offset);
    if (FText.empty())
        return SetSelection(0, 0);
    // At the very end the word is the one before.
    size_t Probe = Offset < FText.size() ? Offset : PreviousCharacter(Offset);
    TCharClass Class = ClassOf(FText[Probe]);
    if (FText[Probe] == '\n')
        return SetSelection(Probe, Probe);
    size_t Start = Probe, End = NextCharacter(Probe);
    while (Start > 0) {
        size_t Before = PreviousCharacter(Start);
        if (ClassOf(FText[Before]) != Class || FText[Before] == '\n')
            break;
        Start = Before;
    }
    while (End < FText.size() && ClassOf(FText[End]) == Class && FText[End] != '\n')
        End = NextCharacter(End);
    SetSelection(Start, End);
}

bool TTextEditor::Insert(std::string_view Text) {
    std::string Clean = this->Clean(Text);
    size_t Start = SelectionStart(), End = SelectionEnd();
    if (FMaxLength > 0) {
        int32_t Kept = CountCharacters(FText) - CountCharacters(std::string_view(FText).substr(Start, End - Start));
        int32_t Room = std::max(0, FMaxLength - Kept);
        size_t Cut = 0;
        for (int32_t Taken = 0; Cut < Clean.size(); ++Taken) {
            if (Taken == Room)
                break;
            ++Cut;
            while (Cut < Clean.size() && IsContinuation(Clean[Cut]))
                ++Cut;
        }
        Clean.resize(Cut);
    }
    if (Clean.empty() && Start == End)
        return false;
    FText.replace(Start, End - Start, Clean);
    FCaret = FAnchor = Start + Clean.size();
    return true;
}

bool TTextEditor::DeleteSelection() {
    if (!HasSelection())
        return false;
    size_t Start = SelectionStart();
    FText.erase(Start, SelectionEnd() - Start);
    FCaret = FAnchor = Start;
    return true;
}

bool TTextEditor::DeleteBackward(TTextUnit Unit) {
    if (HasSelection())
        return DeleteSelection();
    if (FCaret == 0)
        return false;
    FAnchor = Unit == TTextUnit::Word ? PreviousWord(FCaret) : PreviousCharacter(FCaret);
    return DeleteSelection();
}

bool TTextEditor::DeleteForward(TTextUnit Unit) {
    if (HasSelection())
        return DeleteSelection();
    if (FCaret >= FText.size())
        return false;
    FAnchor = Unit == TTextUnit::Word ? NextWord(FCaret) : NextCharacter(FCaret);
    return DeleteSelection();
}

size_t TTextEditor::PreviousCharacter(size_t Offset) const {
    Offset = Snap(Offset);
    if (Offset == 0)
        return 0;
    --Offset;
    while (Offset > 0 && IsContinuation(FText[Offset]))
        --Offset;
    return Offset;
}

size_t TTextEditor::NextCharacter(size_t Offset) const {
    Offset = Snap(Offset);
    if (Offset >= FText.size())
        return FText.size();
    ++Offset;
    while (Offset < FText.size() && IsContinuation(FText[Offset]))
        ++Offset;
    return Offset;
}

size_t TTextEditor::PreviousWord(size_t Offset) const {
    Offset = Snap(Offset);
    while (Offset > 0 && ClassOf(FText[PreviousCharacter(Offset)]) == TCharClass::Blank)
        Offset = PreviousCharacter(Offset);
    if (Offset == 0)
        return 0;
    TCharClass Class = ClassOf(FText[PreviousCharacter(Offset)]);
    while (Offset > 0 && ClassOf(FText[PreviousCharacter(Offset)]) == Class)
        Offset = PreviousCharacter(Offset);
    return Offset;
}

size_t TTextEditor::NextWord(size_t Offset) const {
    Offset = Snap(Offset);
    if (Offset >= FText.size())
        return FText.size();
    TCharClass Class = ClassOf(FText[Offset]);
    if (Class != TCharClass::Blank)
        while (Offset < FText.size() && ClassOf(FText[Offset]) == Class)
            Offset = NextCharacter(Offset);
    while (Offset < FText.size() && ClassOf(FText[Offset]) == TCharClass::Blank)
        Offset = NextCharacter(Offset);
    return Offset;
}

size_t TTextEditor::LineStart(size_t Offset) const {
    Offset = Snap(Offset);
    size_t Break = Offset == 0 ? std::string::npos : FText.rfind('\n', Offset - 1);
    return Break == std::string::npos ? 0 : Break + 1;
}

size_t TTextEditor::LineEnd(size_t Offset) const {
    size_t Break = FText.find('\n', Snap(Offset));
    return Break == std::string::npos ? FText.size() : Break;
}

int32_t TTextEditor::LineCount() const {
    return int32_t(std::count(FText.begin(), FText.end(), '\n')) + 1;
}

int32_t TTextEditor::LineOf(size_t Offset) const {
    Offset = Snap(Offset);
    return int32_t(std::count(FText.begin(), FText.begin() + std::ptrdiff_t(Offset), '\n'));
}

size_t TTextEditor::LineStartOf(int32_t Line) const {
    size_t Offset = 0;
    for (int32_t I = 0; I < Line; ++I) {
        size_t Break = FText.find('\n', Offset);
        if (Break == std::string::npos)
            return LineStart(FText.size());
        Offset = Break + 1;
    }
    return Offset;
}
