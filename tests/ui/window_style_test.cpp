#include "ui/window_style.h"

#include <gtest/gtest.h>

namespace vx {

TEST(ApplyStyleList, ClassAndOwnerKeys) {
  uint32_t panelColor = 0x123456;
  std::string panelFont = "Arial";
  uint32_t otherColor = 0;
  const std::vector<TStyledComponent> components{
      {"TPanel", "Panel1", &panelColor, &panelFont},
      {"TPanel", "Pmsg", &otherColor, nullptr},
      {"TButton", "ButtonRead", nullptr, nullptr},
  };
  ApplyStyleList("TPanel<>Color=clwhite<>Font.Name=Tahoma\r\n"
                 "\r\n"
                 "TFSB_BOX.Pmsg<>color=$00FF00<>Unknown=1<>broken\r\n"
                 "TButton<>Font.Name=Arial",
                 "TFSB_BOX", components);
  EXPECT_EQ(panelColor, 0xFFFFFFu);
  EXPECT_EQ(panelFont, "Tahoma");
  // Both the class entry and the later owner entry apply, in list order.
  EXPECT_EQ(otherColor, 0x00FF00u);
}

TEST(ColorFromName, NamesAndHex) {
  uint32_t color = 7;
  EXPECT_TRUE(ColorFromName("clBlue", color));
  EXPECT_EQ(color, 0xFF0000u);
  EXPECT_TRUE(ColorFromName("$0000FF", color));
  EXPECT_EQ(color, 0x0000FFu);
  for (const char* bad : {"", "white", "$", "$1000000", "$12x", "clNothing"}) {
    color = 7;
    EXPECT_FALSE(ColorFromName(bad, color)) << bad;
    EXPECT_EQ(color, 7u) << bad;
  }
}

}  // namespace vx
