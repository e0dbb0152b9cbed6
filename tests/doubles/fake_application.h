#pragma once

#include "platform/application.h"

class FakeApplication final : public platform::Application {
public:
    QString programFolder;
    QString dataFolder;
    int major = 1;
    int minor = 2;

    QString folder() const override { return programFolder; }
    QString userDataFolder() const override { return dataFolder; }
    int majorVersion() const override { return major; }
    int minorVersion() const override { return minor; }
};
