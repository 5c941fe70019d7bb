// The terminal speaks UTF-8, the plug-in code page 936 (GBK).
#pragma once

#include <string>

// Characters that the target cannot hold become '?'.
std::string Utf8ToGbk(const std::string& utf8);
std::string GbkToUtf8(const std::string& gbk);
