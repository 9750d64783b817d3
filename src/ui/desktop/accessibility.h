// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace dictora {

class StudyPanel;

// Names and roles for screen readers (AT-SPI on Linux) where the study
// screen draws its own controls: the dictation toolbar's picture buttons,
// the progress panel's status items, the unit list's rows, the sentence
// list's rows with what each shows, and the answer box with whether typing is
// locked. installAssistiveTechnologySupport goes first, before any window is
// made (Qt keeps the accessible object it first made for a widget);
// describeForAssistiveTechnology once the panel has created its windows.
void installAssistiveTechnologySupport();
void describeForAssistiveTechnology(StudyPanel& panel);

} // namespace dictora
