// The window on a screen scaled by two: the toolbar shows its pictures drawn
// at twice the size, and the board stays pixel-exact, each pixel a 2 x 2 block.

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include "shell/MessageDialogs.h"
#include "shell/Pictures.h"
#include "tests/ShellFixture.h"

namespace qg {
namespace {

class ScaledByTwo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
        form = test::ShowMainForm(windows);
        ASSERT_NE(form, nullptr);
    }
    test::ConfigHome config;
    test::ScriptedWindows windows;
    std::unique_ptr<TMainForm> form;
};

TEST_F(ScaledByTwo, ToolbarPicturesAreDrawnAtTwiceTheirSize) {
    for (const auto& [button, picture] : {std::pair{"MixBtn", "mix"}, {"TorvaneBtn", "torvane"}, {"QuirkoBtn", "quirko"}}) {
        SCOPED_TRACE(button);
        QToolButton* b = test::Button(*form, button);
        ASSERT_NE(b, nullptr);
        const QImage small = PictureImage(QString(":/pictures/%1.png").arg(picture));
        const QImage large = PictureImage(QString(":/pictures/%1@2x.png").arg(picture));
        ASSERT_EQ(large.size(), small.size() * 2);
        const QPixmap shown = b->icon().pixmap(small.size(), 2.0);
        EXPECT_EQ(shown.devicePixelRatio(), 2.0);
        EXPECT_EQ(shown.toImage().convertToFormat(large.format()), large) << "not the large drawing";
    }
}

TEST_F(ScaledByTwo, TheSplashIsDrawnAtTwiceItsSize) {
    TSplash splash(*form);
    const QLabel* picture = splash.findChild<QLabel*>();
    ASSERT_NE(picture, nullptr);
    const QPixmap shown = picture->pixmap();
    const QImage large = PictureImage(":/pictures/splash@2x.png");
    ASSERT_EQ(large.size(), PictureImage(":/pictures/splash.png").size() * 2);
    EXPECT_EQ(shown.devicePixelRatio(), 2.0);
    EXPECT_EQ(shown.toImage().convertToFormat(large.format()), large);
}

TEST_F(ScaledByTwo, TheBoardIsExactlyPixelDoubled) {
    const QImage shown = form->box()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.width(), 2 * form->Screen().width());
    for (int y = 0; y < form->Screen().height(); y += 3)
        for (int x = 0; x < form->Screen().width(); x += 3)
            for (int d = 0; d < 4; ++d)
                ASSERT_EQ(shown.pixel(2 * x + d % 2, 2 * y + d / 2) | 0xFF000000u, form->Screen().pixel(x, y) | 0xFF000000u)
                    << x << "," << y;
}

}  // namespace
}  // namespace qg

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "2");
    QTemporaryDir config, data;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
