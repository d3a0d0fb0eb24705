#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Whether a text may hold line breaks.
enum class TTextLines : uint8_t { Single, Multi };
// Whether a caret move drags the selection's far end along or drops it.
enum class TSelect : uint8_t { Move, Extend };
// How much Backspace and Delete take: one character or up to a word edge.
enum class TTextUnit : uint8_t { Character, Word };

// The editing state of a text box without any drawing: UTF-8 text, the
// caret and the anchor (the selection runs between them), and the edits a
// user makes. Every offset is a byte offset that lies on a code point
// boundary: moves step over whole characters and any offset handed in is
// moved back to the start of the character it falls into, so no edit ever
// splits a character. Text is kept well-formed (bad bytes become U+FFFD);
// a multi-line text keeps its line breaks as "\n", a single-line text has
// none.
//
//   TTextEditor Editor;
//   Editor.SetText("héllo");
//   Editor.MoveTo(Editor.NextCharacter(1), TSelect::Move); // after "é", offset 3
//   Editor.DeleteBackward(TTextUnit::Character);           // "hllo"
class TTextEditor {
public:
    explicit TTextEditor(TTextLines Lines = TTextLines::Single) : FLines(Lines) {}

    const std::string& Text() const { return FText; }
    // Replaces the text, clipped to MaxLength; the caret goes to the start.
    void SetText(std::string_view Text);
    TTextLines Lines() const { return FLines; }

    // The most characters (code points) the text may hold; 0 for no limit.
    // Lowering it does not cut a longer text, it only stops growth.
    int32_t MaxLength() const { return FMaxLength; }
    void SetMaxLength(int32_t MaxLength) { FMaxLength = MaxLength < 0 ? 0 : MaxLength; }

    size_t Caret() const { return FCaret; }
    size_t Anchor() const { return FAnchor; }
    size_t SelectionStart() const { return FCaret < FAnchor ? FCaret : FAnchor; }
    size_t SelectionEnd() const { return FCaret < FAnchor ? FAnchor : FCaret; }
    bool HasSelection() const { return FCaret != FAnchor; }
    std::string SelectedText() const;
    // Both ends snapped to character starts inside the text.
    void SetSelection(size_t Anchor, size_t Caret);
    void MoveTo(size_t Offset, TSelect Select);
    void SelectAll() { SetSelection(0, FText.size()); }
    // Selects the word (or the run of blanks or punctuation) at Offset.
    void SelectWordAt(size_t Offset);

    // Edits; each answers whether the text changed. Insert replaces the
    // selection with Text after cleaning it: line breaks become "\n" (a
    // single-line text keeps only the first line), other control characters
    // but Tab go, and what does not fit under MaxLength is cut off at a
    // character boundary.
    bool Insert(std::string_view Text);
    bool DeleteSelection();
    // Backspace and Delete: the selection when there is one, else the unit
    // before (after) the caret.
    bool DeleteBackward(TTextUnit Unit);
    bool DeleteForward(TTextUnit Unit);

    // Offsets around Offset, for moving the caret.
    size_t Snap(size_t Offset) const;
    size_t PreviousCharacter(size_t Offset) const;
    size_t NextCharacter(size_t Offset) const;
    // The start of the word before Offset; the start of the next word
    // after Offset (past the blanks that follow the current one).
    size_t PreviousWord(size_t Offset) const;
    size_t NextWord(size_t Offset) const;
    // The line holding Offset: its start, and its end before the break.
    size_t LineStart(size_t Offset) const;
    size_t LineEnd(size_t Offset) const;
    // Lines are counted from 0; a text of n breaks has n + 1 lines.
    int32_t LineCount() const;
    int32_t LineOf(size_t Offset) const;
    size_t LineStartOf(int32_t Line) const;

    static int32_t CountCharacters(std::string_view Text);

private:
    std::string Clean(std::string_view Text) const;

    TTextLines FLines;
    std::string FText;
    size_t FCaret = 0;
    size_t FAnchor = 0;
    int32_t FMaxLength = 0;
};
