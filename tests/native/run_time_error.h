// The run-time error a piece of code raises, for tests that pin which one.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include <portable/runtime_error.h>

namespace testing_support {

inline portable::ErrorNumber ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const portable::RuntimeError& e) {
        return e.Number();
    }
    ADD_FAILURE() << "no run-time error raised";
    return portable::ErrorNumber{};
}

}  // namespace testing_support
