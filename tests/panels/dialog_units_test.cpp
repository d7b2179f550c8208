#include "panels/dialog_units.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QMenuBar>
#include <QTreeWidget>
#include <cmath>

#include "panels/part_panel.h"
#include "tests/panels/panel_test_support.h"

namespace {

using panels::MulDiv;

TEST(MulDiv, RoundsHalfAwayFromZeroAndRefusesWhatCannotBe) {
    struct Case {
        int number, numerator, denominator, expected;
    };
    for (const Case& c :
         {Case{163, 7, 4, 285}, Case{3, 6, 4, 5}, Case{5, 3, 4, 4}, Case{-3, 6, 4, -5},
          Case{3, -6, 4, -5}, Case{-3, 6, -4, 5}, Case{7, 1, 0, -1}, Case{0x7fffffff, 4, 2, -1},
          Case{0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff}}) {
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << " x " << c.numerator << " / " << c.denominator;
    }
}

using DialogUnitsTest = panels::testing_support::PanelTest;

// The panel's face name reaches a Japanese proportional Gothic through the program's rules, and
// the template's size follows that font's own letter widths and height.
TEST_F(DialogUnitsTest, ThePanelFontIsAJapaneseGothicAndSizesFollowItsMetrics) {
    const QFont font = panels::PanelFont();
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(QFontInfo(font).pointSize(), 9);

    const QFontMetrics metrics(font);
    int letters = 0;
    for (char c = 'A'; c <= 'Z'; ++c) {
        letters += metrics.horizontalAdvance(QChar(c)) + metrics.horizontalAdvance(QChar(c + 32));
    }
    const int baseX = static_cast<int>(std::lround(letters / 52.0));
    const int baseY = metrics.ascent() + metrics.descent();
    EXPECT_EQ(panels::BaseUnitsOf(font).x, baseX);
    EXPECT_EQ(panels::BaseUnitsOf(font).y, baseY);

    app::Session session;
    panels::PartPanel panel(session, files::SettingsFile("/nonexistent/Posewrighter.ini"), {});
    EXPECT_EQ(panel.body()->size(), QSize((163 * baseX + 2) / 4, (279 * baseY + 4) / 8));
    EXPECT_EQ(panel.size().height(), panel.body()->height() + panel.menus()->height());
    // The tree at (5, 34), 155 x 239 units.
    EXPECT_EQ(panel.tree()->geometry(), QRect((5 * baseX + 2) / 4, (34 * baseY + 4) / 8,
                                              (155 * baseX + 2) / 4, (239 * baseY + 4) / 8));
}

}  // namespace
