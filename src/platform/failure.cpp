// Caught exceptions put into words.
#include "platform/failure.h"

#include <new>
#include <stdexcept>

namespace rekna {

std::string FailureText(const std::exception_ptr& e) {
    if (!e) return {};
    try {
        std::rethrow_exception(e);
    } catch (const std::bad_alloc&) {
        return "メモリが足りません";
    } catch (const std::exception& x) {
        const std::string what = x.what();
        return what.empty() ? std::string("不明なエラー") : what;
    } catch (...) {
        return "不明なエラー";
    }
}

}  // namespace rekna
