// The run-time error a piece of code raises, for tests that pin which one.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "platform/runtime_error.h"

namespace testing_support {

inline platform::ErrorNumber ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const platform::RuntimeError& e) {
        return e.Number();
    }
    ADD_FAILURE() << "no run-time error raised";
    return platform::ErrorNumber{};
}

}  // namespace testing_support
