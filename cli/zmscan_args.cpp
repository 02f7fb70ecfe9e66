#include "cli/zmscan_args.h"

#include "common/text.h"

namespace cli {

const char* const kUsage =
    "Usage:\n"
    "  zmscan free [--quantity N] [--masks \"LIST\"] [--no-temp] [--include-system] [--out DIR] "
    "ROOT...\n"
    "  zmscan changes [--out DIR] ROOT...\n"
    "  zmscan duplicates [--include-system] [--out DIR] ROOT...\n"
    "  zmscan images accept|discard [--out DIR]\n"
    "\n"
    "Scans the given drives or folders and writes the report of the scan into DIR\n"
    "(default: the folder of zmscan): Search.txt, Changes.txt or Duplicates.txt.\n"
    "\n"
    "  free         the N largest and N oldest files, and every temporary file\n"
    "  changes      files new, deleted or changed in size since the stored disk image;\n"
    "               writes a pending image (.tmp) beside the stored one (.dat)\n"
    "  duplicates   groups of files with the same content (MD5)\n"
    "  images       accept: pending images become the stored ones; discard: delete them\n"
    "\n"
    "Options:\n"
    "  --quantity N       how many largest and oldest files to keep (1..32767, default 100)\n"
    "  --masks \"LIST\"     temporary-file masks, separated by commas or blanks\n"
    "                     (default \"*.bak, *.tmp, *.temp, *.$$$, ...\"; bak means *.bak)\n"
    "  --no-temp          do not look for temporary files\n"
    "  --include-system   also take files and folders with the system attribute (and, for\n"
    "                     free, the Windows folder)\n"
    "  --threads N        helper threads that list folders ahead of the walk and read and\n"
    "                     hash files for duplicates (0..16, default 4; 0: none)\n"
    "  --out DIR          the folder for reports and disk images\n"
    "  -q, --quiet        no progress line\n"
    "  -h, --help         this text\n"
    "\n"
    "Progress is shown on a terminal only. Ctrl+C stops the scan cleanly.\n"
    "Exit status: 0 the scan ran to its end, 1 it failed, 2 bad arguments, 130 interrupted.\n";

namespace {

bool Number(const std::string& s, int64_t lo, int64_t hi, int64_t& v) {
    return text::ParseInt64(s, v) && v >= lo && v <= hi;
}

}  // namespace

bool ParseArguments(const std::vector<std::string>& args, Arguments& out, std::string& error) {
    out = Arguments{};
    if (args.empty()) {
        error = "no command given";
        return false;
    }
    size_t i = 0;
    const std::string& cmd = args[i++];
    if (cmd == "-h" || cmd == "--help" || cmd == "help") {
        out.command = Command::Help;
        return true;
    } else if (cmd == "free") {
        out.command = Command::Free;
    } else if (cmd == "changes") {
        out.command = Command::Changes;
    } else if (cmd == "duplicates") {
        out.command = Command::Duplicates;
    } else if (cmd == "images") {
        if (i >= args.size() || (args[i] != "accept" && args[i] != "discard")) {
            error = "images needs accept or discard";
            return false;
        }
        out.command = args[i++] == "accept" ? Command::ImagesAccept : Command::ImagesDiscard;
    } else {
        error = "unknown command '" + cmd + "'";
        return false;
    }
    bool free = out.command == Command::Free;
    bool images = out.command == Command::ImagesAccept || out.command == Command::ImagesDiscard;
    bool optionsDone = false;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            v = args[++i];
            return true;
        };
        auto only = [&](bool allowed) {
            if (!allowed) error = a + " does not apply to " + cmd;
            return allowed;
        };
        std::string v;
        int64_t n = 0;
        if (optionsDone || a.empty() || a[0] != '-' || a == "-") {
            if (images) {
                error = "images takes no roots";
                return false;
            }
            out.roots.push_back(a);
        } else if (a == "--") {
            optionsDone = true;
        } else if (a == "-h" || a == "--help") {
            out.command = Command::Help;
            return true;
        } else if (a == "-q" || a == "--quiet") {
            out.quiet = true;
        } else if (a == "--out") {
            if (!value(out.out)) return false;
            if (out.out.empty()) {
                error = "--out needs a folder";
                return false;
            }
        } else if (a == "--quantity") {
            if (!only(free) || !value(v)) return false;
            if (!Number(v, 1, 32767, n)) {
                error = "--quantity needs a number from 1 to 32767, not '" + v + "'";
                return false;
            }
            out.quantity = static_cast<int16_t>(n);
        } else if (a == "--masks") {
            if (!only(free) || !value(out.masks)) return false;
        } else if (a == "--no-temp") {
            if (!only(free)) return false;
            out.searchTemp = false;
        } else if (a == "--include-system") {
            if (!only(free || out.command == Command::Duplicates)) return false;
            out.excludeSystem = false;
        } else if (a == "--threads") {
            if (!only(!images) || !value(v)) return false;
            if (!Number(v, 0, 16, n)) {
                error = "--threads needs a number from 0 to 16, not '" + v + "'";
                return false;
            }
            out.threads = static_cast<int>(n);
        } else {
            error = "unknown option '" + a + "'";
            return false;
        }
    }
    if (!images && out.roots.empty()) {
        error = cmd + " needs at least one ROOT";
        return false;
    }
    return true;
}

}  // namespace cli
