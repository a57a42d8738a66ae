// A failure of the application, named by the string-table key of its message ("Err_NotFoundFile").
// "NoErr_OnlyThrow" only unwinds and shows nothing; "Flg_MailSizeOver" marks the mail-size stop.
#pragma once

#include <stdexcept>
#include <string>

class VX_Exception : public std::runtime_error {
public:
    explicit VX_Exception(const std::string& name) : std::runtime_error(name) {}
    std::string name() const { return what(); }
};
