#pragma once

class Tdm_rdp;

// The log the benchmarks measure, the same for all of them: `count` dives appended to the open
// tables, each with notes, a conditions row and an equipment row, as a diver who logs everything
// keeps them. About seven in ten are synchronised (a service number, a time stamp and a
// certification state: none, certified, confirmed by the buddy), one in twenty is locked, and
// the linked names vary, so moving from dive to dive changes what the editor's rules show.
// Busy is raised meanwhile and lowered at the end; nothing is written to the files.
namespace BenchLog {

void generate(Tdm_rdp& tables, int count);

}  // namespace BenchLog
