#pragma once

#include <string>
#include <vector>

#include "cli/Context.h"
#include "cli/PortJobs.h"

// write, verify and read on several ports at once: "COM1,COM2,/dev/ttyUSB0". The file is
// checked and every port name with it before anything is sent; then each port runs the whole
// exchange on its own line and thread, and a card that fails neither stops nor slows the
// others. An interrupt stops every port between two registers. The results end with a table,
// one row per port; the exit code is that of the worst port (PortTable.h).

// Whether the port operand names several ports.
bool IsPortList(const std::string& operand);

// `sets`: the --set of the command line ("COM2 address=12"), for every card.
int WriteOnPorts(CliContext& context, const std::string& ports, const std::string& file,
                 const std::vector<std::string>& sets, const WriteOptions& options);
int VerifyOnPorts(CliContext& context, const std::string& ports, const std::string& file,
                  const std::vector<std::string>& sets);
// The same on the ports of a manifest (Manifest.h), each card with the fields of its row set
// on the template; the table shows them.
int WriteManifest(CliContext& context, const std::string& manifest, const std::string& file,
                  const std::vector<std::string>& sets, const WriteOptions& options);
int VerifyManifest(CliContext& context, const std::string& manifest, const std::string& file,
                   const std::vector<std::string>& sets);
// One file per card into `folder`, named after the port ("COM1.cfg"), each written safely.
int ReadOnPorts(CliContext& context, const std::string& ports, const std::string& folder);
