// A machine: one emulated device or desktop PC, owning everything the platform keeps for it (its
// windows, screen, programs, handles, GDI objects, registry, disk). Each room keeps its share as a
// part of the machine, made on first use and destroyed with the machine, so powering off needs
// no reset list. Code running outside any booted machine (host tools, console programs, tests of
// the library) uses the host machine, which lives as long as the process.
#ifndef PLATFORM_KERNEL_MACHINE_H
#define PLATFORM_KERNEL_MACHINE_H

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

enum class MachineKind { Host, Device, Desktop };

// A room's share of a machine.
struct MachinePart {
    virtual ~MachinePart() = default;
};

struct Machine;

// The machine the running program belongs to; on the host's own stack, the machine the host
// addresses (the one booted last, or the one a script chose), or the host machine.
Machine *CurrentMachine();
Machine *HostMachine();
// Makes machine current until the returned one is put back; for the scheduler and automation.
Machine *SwitchToMachine(Machine *machine);
// What the host addresses when no program runs.
void AddressMachine(Machine *machine);

Machine *MakeMachine(MachineKind kind);
// Its parts go in the reverse order of their making, with the machine current meanwhile.
void DestroyMachine(Machine *machine);
MachineKind KindOf(const Machine *machine);
// Every booted machine, oldest first.
const std::vector<Machine *> &BootedMachines();

size_t NewMachinePartSlot();
MachinePart *FindMachinePart(Machine *machine, size_t slot);
MachinePart &AddMachinePart(Machine *machine, size_t slot, std::unique_ptr<MachinePart> part);

// The machine's part of that type, made the first time it is asked for.
template <class Part> Part &MachineStateOf(Machine *machine) {
    static const size_t slot = NewMachinePartSlot();
    if (MachinePart *part = FindMachinePart(machine, slot)) {
        return static_cast<Part &>(*part);
    }
    return static_cast<Part &>(AddMachinePart(machine, slot, std::make_unique<Part>()));
}

template <class Part> Part &MachineState() {
    return MachineStateOf<Part>(CurrentMachine());
}

#endif
