// Page switching, modes and the wizard's page flow of the main window.
#include "app/navigation.h"

namespace zv {

int SelectedOption(const std::array<bool, 4>& option8To11) {
    for (int i = 0; i < 4; ++i) {
        if (option8To11[static_cast<std::size_t>(i)]) return i + 1;
    }
    return 5;
}

std::string ConfigurationName(int option) { return "Automatic Configuration #" + std::to_string(option); }

Navigation::Navigation() {
    // Page 0 is the page in view at start-up; the members under it stay hidden so that the
    // keyboard cannot reach their controls.
    ShowPage(kPageAutomatic);
    menu_ = FileMenuState{{false, false}, {true, false}, {false, false}};
}

void Navigation::ShowPage(int page) {
    for (int i = 0; i < kFrame1Members; ++i) visible_[static_cast<std::size_t>(i)] = (i == page);
}

bool Navigation::PageVisible(int index) const {
    if (index < 0 || index >= kFrame1Members) return false;
    return visible_[static_cast<std::size_t>(index)];
}

int Navigation::VisiblePage() const {
    for (int i = 0; i < kFrame1Members; ++i) {
        if (visible_[static_cast<std::size_t>(i)]) return i;
    }
    return -1;
}

void Navigation::SwitchMode(Mode mode) {
    switch (mode) {
    case Mode::Automatic:
        ShowPage(kPageAutomatic);
        menu_ = FileMenuState{{false, false}, {true, false}, {false, false}};
        break;
    case Mode::Custom:
        ShowPage(kPageCustom);
        menu_ = FileMenuState{{true, true}, {false, false}, {false, false}};
        break;
    case Mode::Launcher:
        ShowPage(kPageLauncher);
        menu_ = FileMenuState{{false, false}, {false, false}, {true, true}};
        break;
    }
}

void Navigation::NextFromAdapterPage(const WizardChoice& choice) {
    restartNotice_ = false;
    if (choice.connectionIndex == kWindowsDefaultsIndex) {
        // Straight to the summary; nothing to configure, so no option is shown. mnuOptimize
        // keeps whatever state it had.
        summary_.bold = true;
        summary_.adapter = choice.adapterText;
        summary_.connection = choice.connectionText;
        summary_.configurationCaption.clear();
        summary_.configuration.clear();
        ShowPage(kPageSummary);
    } else {
        ShowPage(kPageConfiguration);
    }
}

void Navigation::BackFromConfigurationPage() { ShowPage(kPageAutomatic); }

void Navigation::NextFromConfigurationPage(const WizardChoice& choice) {
    ShowPage(kPageSummary);
    summary_.bold = true;
    summary_.configurationCaption = "Configuration Option";
    summary_.adapter = choice.adapterText;
    summary_.connection = choice.connectionText;
    summary_.configuration = ConfigurationName(SelectedOption(choice.options));
    menu_.optimize.enabled = true;
}

void Navigation::BackFromSummaryPage(int connectionIndex) {
    ShowPage(connectionIndex == kWindowsDefaultsIndex ? kPageAutomatic : kPageConfiguration);
    menu_.optimize.enabled = false;
}

}  // namespace zv
