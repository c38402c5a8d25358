// A fixture for tests that switch the process-wide interface language: it
// puts uiLanguage back after each test, so the order of tests never matters.
#pragma once

#include <gtest/gtest.h>

#include "texts/ui_texts.h"

namespace fan {

class LanguageTest : public ::testing::Test {
protected:
    void TearDown() override { uiLanguage = saved; }
    int saved = uiLanguage;
};

}  // namespace fan
