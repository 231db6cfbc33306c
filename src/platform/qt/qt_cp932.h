// CP932 text of the grid's model to and from the toolkit's strings.
#pragma once

#include "platform/cp932.h"

#include <QString>

#include <string>
#include <string_view>

namespace rekna {

[[nodiscard]] inline QString GridToQ(std::string_view cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}

[[nodiscard]] inline std::string GridFromQ(const QString& text) {
    return Utf8ToCp932(text.toStdString());
}

}  // namespace rekna
