// Riddle pages for the game tests, in the markup of the riddle site. Test
// sources are compiled with GBK literals, so these are the site's bytes.
#pragma once

#include <string>
#include <vector>

struct Riddle {
  std::string question;
  std::string answer;
};

// One riddle as one list item on one line.
inline std::string RiddleItem(const Riddle& riddle) {
  return "<li><span class=\"table_left\">" + riddle.question +
         "</span><span class=\"table_right\"><a href=\"javascript:;\" class=\"answer\" "
         "onclick=\"MM_popupMsg('答案：" +
         riddle.answer + "')\">点击显示答案</a></span></li>";
}

// A page around the given riddles, CR LF line ends, with a list item of the
// navigation that is no riddle.
inline std::string RiddlePage(const std::vector<Riddle>& riddles) {
  std::string page =
      "<html>\r\n<head><title>急转弯</title></head>\r\n<body>\r\n"
      "<ul><li><a href=\"/jzw/1.htm\">首页</a></li></ul>\r\n<ul>\r\n";
  for (const Riddle& riddle : riddles) page += RiddleItem(riddle) + "\r\n";
  return page + "</ul>\r\n</body>\r\n</html>\r\n";
}
