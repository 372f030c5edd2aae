#pragma once
// Every text the procedures show the user, in one place.
#include <string>

namespace orv::msg {

inline constexpr const char* HostRunning = "The ChemStation program is running\nfirst close the ChemStation";
inline constexpr const char* AnotherRun =
    "Another run of the Orvandel installer is in progress\nwait until it has ended, then try again";
inline constexpr const char* UserMacNotSaved = "Failed to modify user.mac";
inline std::string InstallFailed(const std::string& target) { return "Failed to install\n" + target; }
inline std::string RemoveFailed(const std::string& target) { return "Failed to remove\n" + target; }
// A name the run would reach through a link (or a second hard link), and so leaves as it is.
inline std::string LinkRefused(const std::string& path) { return "Not changed, since a link leads elsewhere\n" + path; }
inline std::string RestoreFailed(const std::string& config) { return "Failed to restore\n" + config; }
std::string CleanupQuestion(const std::string& userMacPath);
inline constexpr const char* InstallDone = "Restart the ChemStation\nFind a new menu \nAddOn - Orvandel";
inline constexpr const char* RemovedRestored = "Orvandel removed\nChemStation configuration set to defaults";
inline constexpr const char* Removed = "Orvandel removed";

}  // namespace orv::msg

namespace orv {

// The error display's rule: a full stop after a message whose last character comes after "." in the code
// page (a letter, a digit, a colon); none after ".", "!", ")", a blank or a line break, and none when empty.
std::string WithFullStop(std::string message);

}  // namespace orv
