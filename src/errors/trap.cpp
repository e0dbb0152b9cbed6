#include "errors/trap.h"

#include <exception>
#include <new>

namespace errors {

Failure CurrentFailure() {
    const std::exception_ptr current = std::current_exception();
    if (!current) {
        return Failure(0, {});
    }
    try {
        std::rethrow_exception(current);
    } catch (const Failure& failure) {
        return failure;
    } catch (const std::bad_alloc&) {
        return Failure(ErrorNumber::OutOfMemory);
    } catch (...) {
        return Failure(ErrorNumber::InternalError);
    }
}

}  // namespace errors
