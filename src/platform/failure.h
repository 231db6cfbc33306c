// What a caught exception was, in words the status line or a row's error can show.
#pragma once

#include <exception>
#include <string>

namespace rekna {

// The exception in words (UTF-8): "メモリが足りません" for an exhausted allocation, the text of a
// standard exception, "不明なエラー" for anything else; empty for no exception. Meant for the one
// boundary of each subsystem that catches what its work threw, so that what happened is said
// and not dropped.
[[nodiscard]] std::string FailureText(const std::exception_ptr& e = std::current_exception());

}  // namespace rekna
