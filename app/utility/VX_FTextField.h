// The application's filtering fields (see appkit::FTextField and appkit::FComboBox): single-line
// fields refuse "\r\n" and have a maximum length; number fields accept only digits.
#pragma once

#include "FilteringFields.h"

using VX_FTextField = appkit::FTextField;
using VX_FComboBox = appkit::FComboBox;
