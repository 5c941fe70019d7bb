// The plug-in's fixed replies as the chat users read them. Test sources are
// compiled with GBK literals, so these are the reply bytes.
#pragma once

constexpr const char* kUsageHint =
    "\r\n\r\n 提示：回复该题 请发送@答 加上您要回答的答案   @显示答案 查看当前答案  @显示题目 "
    "重新显示该题目 ";
constexpr const char* kFetchFailed = " 获取脑筋急转弯失败 请稍后重试...";
constexpr const char* kNoRiddle = "当前无脑筋急转弯题目 查看脑筋急转弯 发送@急转弯";
constexpr const char* kCorrect = "你小子真聪明 回答正确额！";
constexpr const char* kWrong = "啊哦！回答错误呢！继续加油额!";
