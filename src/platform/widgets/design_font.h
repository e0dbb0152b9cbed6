#pragma once

#include <QFont>

namespace platform {

// The windows' font: the proportional Japanese Gothic face they were designed with, or the
// closest one this desktop has.
QFont DesignFont(double pointSize);

}  // namespace platform
