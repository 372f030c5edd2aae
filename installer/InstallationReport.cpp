#include "InstallationReport.h"

#include "CommandLine.h"
#include "Exceptions.h"
#include "HostContract.h"
#include "JoinedText.h"

namespace orv {

namespace {

// HtmlText, written at the end of html.
void AppendHtml(std::string& html, const std::string& text) {
    for (const char c : PrintableText(text)) {
        switch (c) {
            case '&': html += "&amp;"; break;
            case '<': html += "&lt;"; break;
            case '>': html += "&gt;"; break;
            case '"': html += "&quot;"; break;
            case '\'': html += "&#39;"; break;
            default: html += c;
        }
    }
}

}  // namespace

std::string HtmlText(const std::string& text) {
    std::string html;
    AppendHtml(html, text);
    return html;
}

namespace {

// The page's head up to its charset, and what follows it.
const char* const Head =
    "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"";
// Sized for the narrower and shorter of A4 and Letter; digests break anywhere rather than run off the page.
const char* const Style =
    "\">"
    "<style>\n@page{margin:12mm}\n"
    "body{font:9pt Arial,Helvetica,sans-serif;color:#000;max-width:180mm;margin:0 auto}\n"
    "h1{font-size:15pt;margin:0 0 1mm}h2{font-size:11pt;margin:3mm 0 1mm}\n"
    "table{border-collapse:collapse;width:100%}th,td{border:1px solid #777;padding:.6mm 1.5mm;text-align:left;"
    "vertical-align:top;overflow-wrap:anywhere}\nth{background:#e8e8e8}.k{width:42mm}.i{width:30%}.r{width:13mm}"
    "tr{break-inside:avoid}\n"
    ".h{font:7.2pt Consolas,'Courier New',monospace;word-break:break-all}\n"
    ".PASS{color:#060;font-weight:bold;white-space:nowrap}.FAIL{color:#b00;font-weight:bold;white-space:nowrap}"
    ".result{font-size:13pt;border:2px solid #000;padding:2mm;margin:3mm 0}\n.sign{break-inside:avoid}"
    ".sign td{height:7mm}h2{break-after:avoid}\n"
    "</style>\n<title>";

// The encoding the system's 8-bit text is in, as browsers name it; none for the other "windows-" code pages.
const char* CharsetName(unsigned codePage) {
    switch (codePage) {
        case 932: return "shift_jis";
        case 936: return "gbk";
        case 949: return "euc-kr";
        case 950: return "big5";
        case 65001: return "utf-8";
        case 0: return "windows-1252";
        default: return nullptr;
    }
}

class Page {
public:
    Page& operator<<(const char* markup) {
        html += markup;
        return *this;
    }
    Page& operator<<(const Decimal& number) {
        const std::string_view digits = number;
        html.append(digits.data(), digits.size());
        return *this;
    }
    Page& Text(const std::string& text) {
        AppendHtml(html, text);
        return *this;
    }
    // The value's pieces are joined here rather than at each of the facts.
    void Fact(const char* key, std::initializer_list<std::string_view> value, const char* look = "") {
        *this << "<tr><th class=k>" << key << "</th><td" << look << ">";
        Text(Joined(value)) << "</td></tr>\n";
    }
    void Cell(const std::string& value, const std::string& sha256) {
        *this << "<td>";
        Text(value);
        if (!sha256.empty()) *this << "<br><span class=h>" << sha256.c_str() << "</span>";
        *this << "</td>";
    }

    std::string html;
};

const char* CodeMeaning(int code) {
    switch (code) {
        case ExitSuccess: return "success";
        case ExitReportedFailures: return "finished, but failures were reported";
        case ExitHostRunning: return "refused: ChemStation or another run of the installer is running; nothing changed";
        case ExitNoHost: return "ChemStation not found, or not supported; nothing changed";
        case ExitStoppedByError: return "stopped by an error";
        case ExitVerifyFailed: return "the installation differs from this program's files";
        default: return "invalid command line";
    }
}

}  // namespace

std::string InstallationReport(const RunFacts& facts, const ReportSubject& s) {
    const int holding = Holding(s.rows);
    const bool pass = s.code == ExitSuccess && !s.rows.empty() && holding == static_cast<int>(s.rows.size());
    Page page;
    page.html = Head;
    if (const char* charset = CharsetName(facts.codePage)) page << charset;
    else page << "windows-" << Decimal(facts.codePage);
    page << Style;
    const std::string title =
        Joined({"Installation report: ", s.action, " of the Orvandel add-on ", addon::Version, " on ", facts.computer});
    page.Text(title) << "</title></head><body>\n<h1>";
    page.Text(title) << "</h1>\n";
    page << "<p class=result>Result: " << (pass ? "<span class=PASS>PASS</span>. " : "<span class=FAIL>FAIL</span>. ");
    // Digits and these fixed words need no escaping; the meaning does ("this program's files").
    page << Decimal(holding) << " of " << Decimal(s.rows.size()) << " items as expected; exit code "
         << Decimal(static_cast<unsigned long>(s.code)) << " (";
    page.Text(CodeMeaning(s.code)) << ").</p>\n";

    page << "<h2>The run</h2>\n<table>\n";
    page.Fact("Product", {"Orvandel installer ", addon::Version});
    page.Fact("Build commit", {facts.commit});
    page.Fact("Program file", {facts.programPath});
    page.Fact("Program SHA-256", {s.programSha256.empty() ? std::string_view("could not be read") : s.programSha256},
              " class=h");
    page.Fact("Command line", {facts.commandLine});
    page.Fact("Time", {facts.utcTime, " UTC, local ", facts.localTime});
    page.Fact("Computer", {facts.computer});
    page.Fact("User", {facts.account, ", SID ", facts.sid});
    page.Fact("Rights", {facts.rights});
    page.Fact("Windows", {facts.windows});
    page.Fact("ChemStation folder", {s.root.empty() ? std::string_view("not found") : s.root,
                                     ", from Path= in section [PCS] of ", s.profile, " in the Windows folder"});
    page.Fact("Log of the run", {s.logFile.empty() ? std::string_view("none") : s.logFile});
    page << "</table>\n"
            "<h2>The items</h2>\n<table>\n<tr><th class=i>Item</th><th>Expected</th><th>Found</th><th class=r>Result</th></tr>\n";
    for (const CheckRow& row : s.rows) {
        page << "<tr><td>";
        page.Text(row.item) << "<br>";
        page.Text(row.path) << "</td>";
        page.Cell(row.expected, row.expectedSha256);
        page.Cell(row.found, row.foundSha256);
        page << (row.pass ? "<td class=PASS>PASS</td></tr>\n" : "<td class=FAIL>FAIL</td></tr>\n");
    }
    if (s.rows.empty()) page << "<tr><td colspan=4>Nothing was checked.</td></tr>\n";
    page << "</table>\n<p>The SHA-256 of this report is in the log of the run.</p>\n"
            "<h2>Signatures</h2>\n<table class=sign>\n<tr><th class=k></th><th>Name</th><th>Signature</th>"
            "<th>Date</th></tr>\n";
    for (const char* role : {"Performed by", "Reviewed by", "Approved by"})
        page << "<tr><th>" << role << "</th><td></td><td></td><td></td></tr>\n";
    page << "</table>\n</body></html>\n";
    return page.html;
}

}  // namespace orv
