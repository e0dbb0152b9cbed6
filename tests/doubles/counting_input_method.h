#pragma once

#include "platform/input_method.h"

class CountingInputMethod final : public platform::InputMethod {
public:
    int switchedOn = 0;
    void switchOn(QWidget&) override { ++switchedOn; }
};
