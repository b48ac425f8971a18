// A small writer of JSON text: objects, arrays, strings in UTF-8 with the
// escapes JSON requires, and numbers that read back to the same double.
// Values that are not finite numbers have no JSON form and are written as
// null, as are unlimited quantities when the caller asks for it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavo {

// The shortest decimal text that reads back as exactly `value`, in JSON's
// number syntax; "null" for an infinity or NaN.
std::string JsonNumber(double value);

// `utf8` as a JSON string with its quotes. Control characters, quotes and
// backslashes are escaped; bytes that are not well-formed UTF-8 become U+FFFD,
// so the document always stays valid.
std::string JsonString(std::string_view utf8);

// Builds a document with two-blank indentation. Keys and values are added in
// order; the writer inserts the commas and line breaks.
class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view utf8);
  JsonWriter& String(std::string_view utf8);
  JsonWriter& Number(double value);
  JsonWriter& Integer(long long value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();
  // A number, or null when `value` stands for an unlimited quantity (its
  // magnitude is 1.0e30 or more) or is not finite.
  JsonWriter& Limit(double value);

  // The document, with a final line feed once the outermost value is closed.
  std::string Take();

 private:
  void BeforeValue();
  void Indent();
  std::string out_;
  // One entry per open object or array: true once it holds a member.
  std::vector<bool> hasMember_;
  bool afterKey_ = false;
};

}  // namespace tavo
