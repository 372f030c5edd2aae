#include "InstallationCheck.h"

#include "Exceptions.h"
#include "HostContract.h"
#include "HostLocation.h"
#include "JoinedText.h"
#include "LineList.h"
#include "Sha256.h"
#include "UserMacEdit.h"

namespace orv {
namespace {

std::string Bytes(std::size_t size) { return Joined({Decimal(size), " bytes"}); }

CheckRow FileRow(Platform& platform, const std::string& root, const PayloadItem& item, const char* target,
                 bool installed) {
    CheckRow row{item.Name(), root + target, installed ? Bytes(item.Size()) : "absent",
                 installed ? Sha256::Of(item.Data(), item.Size()) : std::string(), "absent", {}, false, false};
    row.present = platform.FileIsPresent(row.path);
    if (row.present) {
        try {
            const std::string bytes = platform.ReadWholeFile(row.path);
            row.found = Bytes(bytes.size());
            row.foundSha256 = Sha256::Of(bytes);
            row.pass = installed && bytes == std::string_view(reinterpret_cast<const char*>(item.Data()), item.Size());
        } catch (const Exception& e) {
            row.found = Joined({"unreadable: ", e.Message()});
        }
    } else {
        row.pass = !installed;
    }
    return row;
}

}  // namespace

std::vector<CheckRow> CheckInstallation(Platform& platform, const std::string& root,
                                        const std::vector<PayloadItem>& payload, bool installed) {
    std::vector<CheckRow> rows;
    for (std::size_t i = 0; i < payload.size(); ++i)
        rows.push_back(FileRow(platform, root, payload[i], PayloadCatalogue[i].target, installed));

    // Installed, the start line comes first; removed, no line of the add-on is left anywhere.
    CheckRow line{"start line", root + host::UserMac, {}, {}, "absent", {}, false, false};
    if (platform.FileIsPresent(line.path)) {
        LineList lines;
        lines.LoadLines(platform, line.path);
        // A first line of a megabyte would fill pages of the report: its start says enough.
        if (lines.Count() > 0) line.found = TrimmedView(lines.View(0)).substr(0, 120);
        else line.found = "empty";
        line.present = installed ? lines.Count() > 0 && IsStartLine(lines.View(0)) : UserMacStartsAddon(platform, line.path);
        if (!installed && line.present) line.found = "a line of the add-on";
    }
    line.expected = installed ? Joined({addon::StartLine, " first"}) : "no line of the add-on";
    line.pass = line.present == installed;
    rows.push_back(std::move(line));

    std::string version = RecordedVersion(platform, root);
    const bool recorded = version != addon::NoVersion;
    const bool pass = installed ? version == addon::Version : !recorded;
    rows.push_back({"recorded version", root + addon::Profile, installed ? addon::Version : addon::NoVersion, {},
                    std::move(version), {}, recorded, pass});
    return rows;
}

int Holding(const std::vector<CheckRow>& rows) {
    int holding = 0;
    for (const CheckRow& row : rows) holding += row.pass;
    return holding;
}

}  // namespace orv
