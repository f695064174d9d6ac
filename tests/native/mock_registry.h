// A registry whose every answer a test chooses, for what Wine's real one cannot show.
#pragma once

#include <gmock/gmock.h>

#include <portable/registry_api.h>

namespace testing_support {

using portable::RegHandle;

class MockRegistry : public portable::RegistryApi {
  public:
    MOCK_METHOD(std::int32_t, OpenKey, (RegHandle, const std::string&, RegHandle*), (override));
    MOCK_METHOD(std::int32_t, CreateKey, (RegHandle, const std::string&, RegHandle*), (override));
    MOCK_METHOD(std::int32_t, QueryValue,
                (RegHandle, const std::string&, std::uint32_t*, std::uint8_t*, std::uint32_t*),
                (override));
    MOCK_METHOD(std::int32_t, SetValue,
                (RegHandle, const std::string&, std::uint32_t, const std::uint8_t*, std::uint32_t),
                (override));
    MOCK_METHOD(std::int32_t, DeleteValue, (RegHandle, const std::string&), (override));
    MOCK_METHOD(std::int32_t, DeleteKey, (RegHandle, const std::string&), (override));
    MOCK_METHOD(std::int32_t, CloseKey, (RegHandle), (override));
};

}  // namespace testing_support
