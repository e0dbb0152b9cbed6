#pragma once

#include <QString>
#include <cstdint>
#include <exception>
#include <string>

namespace errors {

// The program's error numbers. Each has one Japanese description (see Description()).
enum class ErrorNumber : std::int32_t {
    InvalidCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    TypeMismatch = 13,
    InternalError = 51,
    BadFileName = 52,
    FileNotFound = 53,
    DeviceIO = 57,
    DiskFull = 61,
    PermissionDenied = 70,
    PathFileAccess = 75,
    PathNotFound = 76,
    ResourceNotFound = 326,
    InvalidPropertyValue = 380,
    PropertyNotSupported = 438,
    UnrepresentableCharacter = 1001,
    SettingsNotWritable = 1002,
    SettingsNotReadable = 1003,
    UndecodableInput = 1004,
    NoteTooLong = 1005,
    StandardInputUnreadable = 1006,
};

// The standard Japanese description of an error number.
QString Description(ErrorNumber number);

// A failure: what a trapped procedure catches and reports through its errors::Reporter.
class Failure : public std::exception {
public:
    explicit Failure(ErrorNumber number);
    // A file failure: the description is followed by a blank and the path in brackets.
    Failure(ErrorNumber number, const QString& path);
    Failure(std::int32_t number, const QString& description);

    std::int32_t number() const { return number_; }
    const QString& description() const { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    std::int32_t number_;
    QString description_;
    std::string what_;
};

}  // namespace errors
