#pragma once
#include <exception>

#include "AnsiString.h"

class Exception : public std::exception {
public:
    explicit Exception(const AnsiString& message) : Message(message) {}
    const char* what() const noexcept override { return Message.c_str(); }

    AnsiString Message;
};
