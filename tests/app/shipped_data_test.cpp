#include "app/desktop_file.h"
#include "app/file_history.h"
#include "canvas/pixels.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

std::string ReadText(const std::string& File) {
    std::ifstream In(File);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(ShippedData, TheDefaultDesktopLeavesTheWindowCentredAndNormal) {
    TFileHistory History;
    History.SetMaxCount(3);
    TDesktopFile Desktop;
    Desktop.SetFileHistory(&History);
    TWindowPlacement Current;
    Current.IsMaximized = true;
    Desktop.Load(QM_SHIPPED_DESKTOP, TDesktopScope::Full, Current);
    // No stored rectangle: the window keeps its centred designed bounds.
    EXPECT_FALSE(Desktop.Placement().BoundsRect);
    EXPECT_FALSE(Desktop.Placement().IsMaximized);
    EXPECT_TRUE(Desktop.Placement().AltLayoutIsMaximized);
    EXPECT_EQ(History.MaxCount(), 9);
    EXPECT_EQ(History.Count(), 0);
}

TEST(ShippedData, TheIconIsDrawnInEverySizeTheThemeInstalls) {
    for (int32_t Size : {16, 24, 32, 48, 64, 128, 256}) {
        std::string Name = std::to_string(Size) + "x" + std::to_string(Size);
        TPixels Icon;
        Icon.LoadFromFile(std::string(QM_SHIPPED_ICONS) + "/" + Name + "/apps/quillmoor.png");
        EXPECT_EQ(Icon.Width(), Size);
        EXPECT_EQ(Icon.Height(), Size);
        EXPECT_EQ(Icon.GetPixel(0, 0) >> 24, 0u) << Name;
    }
}

TEST(ShippedData, TheDesktopEntryOpensProjectFilesOfTheTypeTheMimePackageDeclares) {
    std::string Entry = ReadText(QM_APP_DATA_SOURCE "/quillmoor.desktop");
    std::string Mime = ReadText(QM_APP_DATA_SOURCE "/quillmoor-mime.xml");
    EXPECT_NE(Entry.find("\nExec=quillmoor %F\n"), std::string::npos);
    EXPECT_NE(Entry.find("\nIcon=quillmoor\n"), std::string::npos);
    EXPECT_NE(Entry.find("\nMimeType=application/x-quillmoor-project;\n"), std::string::npos);
    EXPECT_NE(Mime.find("<mime-type type=\"application/x-quillmoor-project\">"), std::string::npos);
    EXPECT_NE(Mime.find("<glob pattern=\"*.qmp\"/>"), std::string::npos);
}
