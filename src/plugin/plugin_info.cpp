#include "plugin/plugin_info.h"

#include <string_view>

namespace {

// "Quv脑筋急转弯"
constexpr std::string_view kName = "Quv\xC4\xD4\xBD\xEE\xBC\xB1\xD7\xAA\xCD\xE4\r\n";
// "1.0版"
constexpr std::string_view kVersion = "1.0\xB0\xE6\r\n";
constexpr std::string_view kAuthor = "quv\r\n";
// "@急转弯 系统会随机发送一题脑筋急转弯", 16 blanks, "@显示答案 系统会发送脑筋急转弯的答案过来",
// 7 blanks, "@答 该题脑筋急转弯答案", 2 blanks, "@显示题目 该命令用来查看当前题目", a double quote.
constexpr std::string_view kUsage =
    "@\xBC\xB1\xD7\xAA\xCD\xE4 \xCF\xB5\xCD\xB3\xBB\xE1\xCB\xE6\xBB\xFA\xB7\xA2\xCB\xCD\xD2\xBB\xCC"
    "\xE2\xC4\xD4\xBD\xEE\xBC\xB1\xD7\xAA\xCD\xE4                @\xCF\xD4\xCA\xBE\xB4\xF0\xB0\xB8"
    " \xCF\xB5\xCD\xB3\xBB\xE1\xB7\xA2\xCB\xCD\xC4\xD4\xBD\xEE\xBC\xB1\xD7\xAA\xCD\xE4\xB5\xC4\xB4"
    "\xF0\xB0\xB8\xB9\xFD\xC0\xB4       @\xB4\xF0 \xB8\xC3\xCC\xE2\xC4\xD4\xBD\xEE\xBC\xB1\xD7\xAA"
    "\xCD\xE4\xB4\xF0\xB0\xB8  @\xCF\xD4\xCA\xBE\xCC\xE2\xC4\xBF \xB8\xC3\xC3\xFC\xC1\xEE\xD3\xC3"
    "\xC0\xB4\xB2\xE9\xBF\xB4\xB5\xB1\xC7\xB0\xCC\xE2\xC4\xBF\"\r\n";
constexpr std::string_view kEmptyLine = "\r\n";
constexpr std::string_view kEntryName = "plugmain\r\n";
constexpr std::string_view kOne = "1\r\n";
// "假"
constexpr std::string_view kFalse = "\xBC\xD9\r\n";

}  // namespace

Text BuildPluginInfo() {
  return ConcatText(kName, kVersion, kAuthor, kUsage, kEmptyLine, kEmptyLine, kEmptyLine,
                    kEntryName, kOne, kFalse);
}
