// A request record for the worker, written as named fields.
#pragma once

#include <string>

#include "core/bytes_array.h"
#include "core/conversions.h"
#include "web/http_transaction.h"

struct RequestFields {
  std::string url = "http://site/jzw/1.htm";
  std::string method = "GET";
  std::string proxy;
  std::string headers;
  std::string postData;
  std::string cookies;
  bool allowRedirects = true;
};

inline BytesArray RequestRecord(const RequestFields& r) {
  BytesArray record(kRequestRecordFields);
  record.Set(kFieldUrl, Bytes(r.url));
  record.Set(kFieldMethod, Bytes(r.method));
  record.Set(kFieldProxy, Bytes(r.proxy));
  record.Set(kFieldHeaders, Bytes(r.headers));
  record.Set(kFieldPostData, Bytes(r.postData));
  record.Set(kFieldCookies, Bytes(r.cookies));
  record.Set(kFieldAllowRedirects, Bytes(ToText(r.allowRedirects).View()));
  return record;
}
