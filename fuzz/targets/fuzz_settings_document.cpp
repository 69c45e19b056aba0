// The settings document's reader: any bytes as a JSON document, and any bytes as a string of
// bytes written and read back.
#include "FuzzSupport.h"
#include "cli/Json.h"
#include "cli/OutputText.h"
#include "text/Utf8.h"

#include <string>

using namespace FuzzSupport;

namespace {

// Every string of a read document is UTF-8 and comes back from the literal the writer makes of
// it; every number reads again as the same number.
void checkValue(const Json::Value &value)
{
    switch (value.type) {
    case Json::Value::Type::String: {
        require(Utf8::IsValid(value.text), "a string read is not UTF-8");
        const Json::Parsed again = Json::parse(OutputText::jsonString(value.text));
        require(again.value && again.value->text == value.text, "a string does not come back from its literal");
        break;
    }
    case Json::Value::Type::Number: {
        const Json::Parsed again = Json::parse(value.text);
        require(again.value && again.value->type == Json::Value::Type::Number && again.value->text == value.text,
                "a number does not read again as itself");
        break;
    }
    case Json::Value::Type::Array:
        for (const Json::Value &item : value.items)
            checkValue(item);
        break;
    case Json::Value::Type::Object:
        for (const Json::Member &member : value.members) {
            require(Utf8::IsValid(member.name), "a member name is not UTF-8");
            require(value.member(member.name) == &member.value, "a member name is given twice");
            checkValue(member.value);
        }
        break;
    case Json::Value::Type::Null:
    case Json::Value::Type::Boolean:
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text = textOf(data, size);

    const Json::Parsed parsed = Json::parse(text);
    if (parsed.value) {
        require(parsed.error.empty(), "a document read with an error");
        checkValue(*parsed.value);
    } else {
        require(parsed.error.rfind("line ", 0) == 0, "a refusal that does not say where");
    }

    const Json::Parsed bytes = Json::parse(Json::bytesString(text));
    require(bytes.value && Json::bytesOf(bytes.value->text) == std::optional<std::string>(text),
            "bytes do not come back from their string");
    return 0;
}
