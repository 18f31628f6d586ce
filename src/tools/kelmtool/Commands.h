// The commands of kelmtool; each lives in a file of its own.
#pragma once

#include <span>
#include <string_view>

namespace kelm::tool {

using Args = std::span<const std::string_view>;  // the words after the command name

// show FILE.kel
int RunShow(Args args);
// convert IN.kel -o OUT.kel [--comma|--point]
int RunConvert(Args args);
// import DATA.csv -o OUT.kel --quantity emf|ph|px|conductivity [--description TEXT]
int RunImport(Args args);
// process FILE.kel [--criterion ...] [--end-value X] [--interpolation ...] [--grid auto|N]
//         [--filter ...] [--strength S] [--comma|--point] [--json] [-o OUT.kel]
// process FILE.kel... [the same processing options] [--table|--csv|--json] [--comma|--point]
int RunProcess(Args args);
// replicates FILE.kel FILE.kel... [processing options] [--json] [--comma|--point]
int RunReplicates(Args args);
// result FILE.kel... [result options] [--table|--csv|--json] | result FILE.kel [...] -o OUT.kel
int RunResult(Args args);
// titer FILE.kel --titrant-concentration C --standard-mass m --standard-molar-mass M_S [...]
int RunTiter(Args args);
// titrants [add NAME --concentration C | titer NAME T | history NAME] [--csv]
int RunTitrants(Args args);
// history [--csv]
int RunHistory(Args args);
// report FILE.kel --curve-points [--comma|--point]
int RunReport(Args args);
// ports
int RunPorts(Args args);
// check [--port N] [--address A] [--channel C] [--quantity emf|ph|px|conductivity]
int RunCheck(Args args);
// read [--port N] [--address A] [--channel C] [--quantity emf|ph|px|conductivity]
int RunRead(Args args);
// journal [--folder DIR] | journal restore N -o OUT.kel [--folder DIR]
int RunJournal(Args args);

// render FILE.kel -o OUT.png|OUT.svg|OUT.pdf [--derivative] [--process] [--size WxH]
//        [--range FROM:TO]
// render FILE.kel... --overlay -o OUT.png|OUT.svg|OUT.pdf [the same options]
int RunRender(Args args);

}  // namespace kelm::tool
