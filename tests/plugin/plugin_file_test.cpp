// Drives the built plug-in file through its exported symbols, as the host does.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "plugin_loader.h"

namespace {

const std::string kInfo =
    "Quv脑筋急转弯\r\n"
    "1.0版\r\n"
    "quv\r\n"
    "@急转弯 系统会随机发送一题脑筋急转弯                @显示答案 系统会发送脑筋急转弯的答案过来"
    "       @答 该题脑筋急转弯答案  @显示题目 该命令用来查看当前题目\"\r\n"
    "\r\n\r\n\r\n"
    "plugmain\r\n"
    "1\r\n"
    "假\r\n";

class PluginFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    plugin = PluginFile::Load(TAMREK_PLUGIN_FILE, error);
    ASSERT_NE(plugin, nullptr) << error;
  }

  std::unique_ptr<PluginFile> plugin;
};

TEST_F(PluginFileTest, InfoIsTheSame208BytesOnEveryCall) {
  ASSERT_EQ(kInfo.size(), 208u);
  const char* first = plugin->Info();
  const std::string firstCopy = first;
  EXPECT_EQ(firstCopy, kInfo);
  plugin->PlugMain("@显示题目");
  EXPECT_EQ(std::string(first), kInfo) << "still readable until the next info call";
  EXPECT_EQ(std::string(plugin->Info()), kInfo);
  EXPECT_EQ(std::string(plugin->Info()), kInfo);
}

TEST_F(PluginFileTest, NullArgumentsReadAsEmpty) {
  EXPECT_STREQ(plugin->PlugMain(nullptr, nullptr, nullptr, nullptr, nullptr), "");
}

TEST_F(PluginFileTest, RepliesWithoutARiddleAndIgnoresTheOtherArguments) {
  const char* kNoRiddle = "当前无脑筋急转弯题目 查看脑筋急转弯 发送@急转弯";
  EXPECT_STREQ(plugin->PlugMain("@显示题目"), kNoRiddle);
  EXPECT_STREQ(plugin->PlugMain("@显示题目", "x", "@急转弯", nullptr, "y"), kNoRiddle);
  EXPECT_STREQ(plugin->PlugMain("@显示答案", nullptr, nullptr, "@答", nullptr), kNoRiddle);
  EXPECT_STREQ(plugin->PlugMain("hello", "@显示题目", "a", "b", "c"), "");
}

TEST_F(PluginFileTest, AReplyStaysReadableUntilTheNextCall) {
  const char* reply = plugin->PlugMain("@答 x");
  const std::string copy = reply;
  plugin->Info();
  EXPECT_EQ(std::string(reply), copy);
  EXPECT_STREQ(plugin->PlugMain("unknown"), "");  // a constant reply replacing an owned one
  EXPECT_STREQ(plugin->PlugMain("@显示答案"), "当前无脑筋急转弯题目 查看脑筋急转弯 发送@急转弯");
}

TEST_F(PluginFileTest, WithoutARiddleSiteTheFetchFails) {
  EXPECT_STREQ(plugin->PlugMain("@急转弯"), " 获取脑筋急转弯失败 请稍后重试...");
  EXPECT_STREQ(plugin->PlugMain("@显示题目"), "当前无脑筋急转弯题目 查看脑筋急转弯 发送@急转弯");
}

TEST(PluginFileLoad, AFileThatIsNoPluginIsRefusedWithAReason) {
  std::string error;
  EXPECT_EQ(PluginFile::Load("no-such-plugin-file", error), nullptr);
  EXPECT_NE(error.find("no-such-plugin-file"), std::string::npos) << error;
}

TEST(PluginFileLoad, LoadingAndUnloadingWithoutACallIsHarmless) {
  for (int round = 0; round < 3; ++round) {
    std::string error;
    auto plugin = PluginFile::Load(TAMREK_PLUGIN_FILE, error);
    ASSERT_NE(plugin, nullptr) << error;
  }
}

}  // namespace
