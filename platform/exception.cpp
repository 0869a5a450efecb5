#include "platform/exception.h"

#include <new>

std::string ExceptionMessage(const std::exception& error) {
    if (const Exception* own = dynamic_cast<const Exception*>(&error)) return own->Message();
    // The library's own words for this one mean nothing to a user.
    if (dynamic_cast<const std::bad_alloc*>(&error)) return "メモリが足りません。";
    return error.what();
}
