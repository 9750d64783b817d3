// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/study_services.h"

#include "core/study/unit_library.h"

namespace dictora {

QString StudyServices::openUnitName() const
{
    return library ? library->unitName() : QString();
}

} // namespace dictora
