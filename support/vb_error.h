#pragma once

#include <QString>
#include <exception>
#include <string>

namespace pbp {

// A failure with a number and a description, as every guarded procedure reports it.
class VbError : public std::exception {
  public:
    VbError(qint32 number, QString description)
        : number_(number),
          description_(std::move(description)),
          what_(description_.toStdString()) {}

    qint32 number() const { return number_; }
    const QString& description() const { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

  private:
    qint32 number_;
    QString description_;
    std::string what_;
};

// The classic runtime error numbers the program's reports carry.
namespace errnum {
inline constexpr qint32 kOverflow = 6;
inline constexpr qint32 kOutOfMemory = 7;
inline constexpr qint32 kInternal = 51;
inline constexpr qint32 kFileNotFound = 53;
inline constexpr qint32 kDeviceIo = 57;
inline constexpr qint32 kPermissionDenied = 70;
inline constexpr qint32 kPathFileAccess = 75;
inline constexpr qint32 kObjectNotSet = 91;
}  // namespace errnum

// Error 91: an object that should be there is not (used before it was set up).
inline VbError ObjectNotSetError() {
    return VbError(errnum::kObjectNotSet,
                   QStringLiteral("Object variable or With block variable not set"));
}

// Turns the exception being handled (call only inside a catch block) into a VbError.
VbError CurrentError();

}  // namespace pbp
