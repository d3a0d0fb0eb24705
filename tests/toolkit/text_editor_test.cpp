#include "toolkit/controls/text_editor.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// True when Offset is a character start of Text (or its end).
bool OnBoundary(const std::string& Text, size_t Offset) {
    return Offset == Text.size() || (Offset < Text.size() && (static_cast<unsigned char>(Text[Offset]) & 0xC0) != 0x80);
}

} // namespace

// ---- whole characters

TEST(TextEditorUtf8, CaretStepsOverWholeCharactersOfEveryLength) {
    TTextEditor Editor;
    const std::string Text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z"; // a é € 😀 z
    Editor.SetText(Text);
    std::vector<size_t> Forward;
    for (size_t Offset = 0; Offset < Text.size(); Offset = Editor.NextCharacter(Offset))
        Forward.push_back(Editor.NextCharacter(Offset));
    EXPECT_EQ(Forward, (std::vector<size_t>{1, 3, 6, 10, 11}));
    std::vector<size_t> Backward;
    for (size_t Offset = Text.size(); Offset > 0; Offset = Editor.PreviousCharacter(Offset))
        Backward.push_back(Editor.PreviousCharacter(Offset));
    EXPECT_EQ(Backward, (std::vector<size_t>{10, 6, 3, 1, 0}));
}

TEST(TextEditorUtf8, OffsetsInsideACharacterSnapToItsStart) {
    TTextEditor Editor;
    Editor.SetText("x\xF0\x9F\x98\x80y");
    for (size_t Inside : {2u, 3u, 4u}) {
        Editor.MoveTo(Inside, TSelect::Move);
        EXPECT_EQ(Editor.Caret(), 1u) << Inside;
    }
    Editor.SetSelection(3, 99);
    EXPECT_EQ(Editor.Anchor(), 1u);
    EXPECT_EQ(Editor.Caret(), 6u);
    EXPECT_EQ(Editor.SelectedText(), "\xF0\x9F\x98\x80y");
}

TEST(TextEditorUtf8, BackspaceAndDeleteRemoveWholeCharacters) {
    TTextEditor Editor;
    Editor.SetText("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
    Editor.MoveTo(10, TSelect::Move); // before z
    EXPECT_TRUE(Editor.DeleteBackward(TTextUnit::Character));
    EXPECT_EQ(Editor.Text(), "a\xC3\xA9\xE2\x82\xAC" "z");
    EXPECT_EQ(Editor.Caret(), 6u);
    EXPECT_TRUE(Editor.DeleteBackward(TTextUnit::Character));
    EXPECT_EQ(Editor.Text(), "a\xC3\xA9z");
    Editor.MoveTo(1, TSelect::Move);
    EXPECT_TRUE(Editor.DeleteForward(TTextUnit::Character));
    EXPECT_EQ(Editor.Text(), "az");
    Editor.MoveTo(0, TSelect::Move);
    EXPECT_FALSE(Editor.DeleteBackward(TTextUnit::Character));
    Editor.MoveTo(2, TSelect::Move);
    EXPECT_FALSE(Editor.DeleteForward(TTextUnit::Character));
}

TEST(TextEditorUtf8, MalformedBytesBecomeReplacementCharacters) {
    TTextEditor Editor;
    Editor.SetText("a\xFF" "b\xE2\x82"); // each stray byte is replaced
    EXPECT_EQ(Editor.Text(), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD");
    for (size_t Offset = 0; Offset <= Editor.Text().size(); ++Offset)
        EXPECT_TRUE(OnBoundary(Editor.Text(), Editor.Snap(Offset)));
}

TEST(TextEditorUtf8, MaxLengthCountsCharactersAndCutsAtABoundary) {
    TTextEditor Editor;
    Editor.SetMaxLength(4);
    Editor.SetText("ab");
    Editor.MoveTo(2, TSelect::Move);
    EXPECT_TRUE(Editor.Insert("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E")); // 日本語
    EXPECT_EQ(Editor.Text(), "ab\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_FALSE(Editor.Insert("c"));
    // Replacing a selection frees its room.
    Editor.SetSelection(0, 1);
    EXPECT_TRUE(Editor.Insert("\xF0\x9F\x98\x80xyz"));
    EXPECT_EQ(Editor.Text(), "\xF0\x9F\x98\x80" "b\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(TTextEditor::CountCharacters(Editor.Text()), 4);
}

// ---- inserting and selecting

TEST(TextEditorEditing, InsertReplacesTheSelectionAndCleansTheText) {
    TTextEditor Single;
    Single.SetText("hello world");
    Single.SetSelection(6, 11);
    EXPECT_TRUE(Single.Insert("there\r\nsecond line"));
    EXPECT_EQ(Single.Text(), "hello there");
    EXPECT_EQ(Single.Caret(), 11u);
    Single.Insert("\x01\tx\x7F");
    EXPECT_EQ(Single.Text(), "hello there\tx");

    TTextEditor Multi(TTextLines::Multi);
    Multi.Insert("one\r\ntwo\rthree\nfour");
    EXPECT_EQ(Multi.Text(), "one\ntwo\nthree\nfour");
    EXPECT_EQ(Multi.LineCount(), 4);
}

TEST(TextEditorEditing, WordsStopAtBlanksAndPunctuation) {
    TTextEditor Editor;
    Editor.SetText("hello w\xC3\xB6rld, again"); // wörld
    EXPECT_EQ(Editor.NextWord(0), 6u);
    EXPECT_EQ(Editor.NextWord(6), 12u);  // at the comma
    EXPECT_EQ(Editor.NextWord(12), 14u); // past the comma and the blank
    EXPECT_EQ(Editor.NextWord(14), 19u);
    EXPECT_EQ(Editor.PreviousWord(19), 14u);
    EXPECT_EQ(Editor.PreviousWord(14), 12u);
    EXPECT_EQ(Editor.PreviousWord(12), 6u);
    EXPECT_EQ(Editor.PreviousWord(8), 6u); // from inside a word to its start
    Editor.MoveTo(19, TSelect::Move);
    EXPECT_TRUE(Editor.DeleteBackward(TTextUnit::Word));
    EXPECT_EQ(Editor.Text(), "hello w\xC3\xB6rld, ");
    Editor.MoveTo(0, TSelect::Move);
    EXPECT_TRUE(Editor.DeleteForward(TTextUnit::Word));
    EXPECT_EQ(Editor.Text(), "w\xC3\xB6rld, ");
}

TEST(TextEditorEditing, SelectWordAtTakesTheRunUnderTheOffset) {
    TTextEditor Editor;
    Editor.SetText("one t\xC3\xA9st--x");
    Editor.SelectWordAt(6);
    EXPECT_EQ(Editor.SelectedText(), "t\xC3\xA9st");
    Editor.SelectWordAt(9);
    EXPECT_EQ(Editor.SelectedText(), "--");
    Editor.SelectWordAt(Editor.Text().size());
    EXPECT_EQ(Editor.SelectedText(), "x");
    Editor.SelectWordAt(3);
    EXPECT_EQ(Editor.SelectedText(), " ");
}

TEST(TextEditorEditing, LinesAreFoundByOffsetAndByNumber) {
    TTextEditor Editor(TTextLines::Multi);
    Editor.SetText("ab\n\ncde\nf");
    EXPECT_EQ(Editor.LineCount(), 4);
    EXPECT_EQ(Editor.LineOf(0), 0);
    EXPECT_EQ(Editor.LineOf(2), 0);
    EXPECT_EQ(Editor.LineOf(3), 1);
    EXPECT_EQ(Editor.LineOf(6), 2);
    EXPECT_EQ(Editor.LineStart(6), 4u);
    EXPECT_EQ(Editor.LineEnd(5), 7u);
    EXPECT_EQ(Editor.LineStart(3), 3u);
    EXPECT_EQ(Editor.LineEnd(3), 3u);
    EXPECT_EQ(Editor.LineStartOf(3), 8u);
    EXPECT_EQ(Editor.LineStartOf(9), 8u); // past the last line: the last
}
