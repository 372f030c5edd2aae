#include "VersionReport.h"

#include <iterator>

#include "AddonVersion.h"
#include "Exceptions.h"
#include "JoinedText.h"
#include "Sha256.h"

namespace orv {

std::string VersionText(const std::string& commit, const std::vector<PayloadItem>& payload) {
    std::string text = Joined({"Orvandel installer ", AddonVersion, "\ncommit ", commit});
    // The digest is that of the bytes /verify compares an installed file with.
    for (std::size_t i = 0; i < payload.size() && i < std::size(PayloadCatalogue); ++i) {
        const PayloadItem& item = payload[i];
        text += Joined({"\n", PayloadCatalogue[i].name, "  <ChemStation>", PayloadCatalogue[i].target, "  ",
                        Decimal(item.Size()), " bytes  sha256 ", Sha256::Of(item.Data(), item.Size())});
    }
    return text;
}

}  // namespace orv
