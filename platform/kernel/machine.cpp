#include "kernel/machine.h"

#include <algorithm>

struct Machine {
    explicit Machine(MachineKind machineKind) : kind(machineKind) {}
    ~Machine() {
        // A part going may still ask for another (a window's font is deleted from the GDI
        // table); one asked for again meanwhile is made anew and goes in its turn.
        while (!order.empty()) {
            const size_t slot = order.back();
            order.pop_back();
            std::unique_ptr<MachinePart> part = std::move(parts[slot]);
            part.reset();
        }
    }
    Machine(const Machine &) = delete;
    Machine &operator=(const Machine &) = delete;

    const MachineKind kind;
    std::vector<std::unique_ptr<MachinePart>> parts; // by slot
    std::vector<size_t> order;                       // slots in the order their parts were made
};

namespace {

size_t slotCount = 0;
Machine *current = nullptr;
Machine *addressed = nullptr;

std::vector<Machine *> &Booted() {
    static std::vector<Machine *> *booted = new std::vector<Machine *>;
    return *booted;
}

} // namespace

Machine *HostMachine() {
    // Never destroyed: host code may still run while the process's statics go.
    static Machine *host = new Machine(MachineKind::Host);
    return host;
}

Machine *CurrentMachine() {
    if (current != nullptr) {
        return current;
    }
    return addressed != nullptr ? addressed : HostMachine();
}

Machine *SwitchToMachine(Machine *machine) {
    Machine *previous = current;
    current = machine;
    return previous;
}

void AddressMachine(Machine *machine) {
    addressed = machine;
}

Machine *MakeMachine(MachineKind kind) {
    Machine *machine = new Machine(kind);
    Booted().push_back(machine);
    return machine;
}

void DestroyMachine(Machine *machine) {
    if (machine == nullptr || machine == HostMachine()) {
        return;
    }
    auto &booted = Booted();
    booted.erase(std::remove(booted.begin(), booted.end(), machine), booted.end());
    Machine *previous = SwitchToMachine(machine);
    delete machine;
    SwitchToMachine(previous == machine ? nullptr : previous);
    if (addressed == machine) {
        addressed = booted.empty() ? nullptr : booted.back();
    }
}

MachineKind KindOf(const Machine *machine) {
    return machine->kind;
}

const std::vector<Machine *> &BootedMachines() {
    return Booted();
}

size_t NewMachinePartSlot() {
    return slotCount++;
}

MachinePart *FindMachinePart(Machine *machine, size_t slot) {
    return slot < machine->parts.size() ? machine->parts[slot].get() : nullptr;
}

MachinePart &AddMachinePart(Machine *machine, size_t slot, std::unique_ptr<MachinePart> part) {
    if (machine->parts.size() <= slot) {
        machine->parts.resize(slot + 1);
    }
    machine->parts[slot] = std::move(part);
    machine->order.push_back(slot);
    return *machine->parts[slot];
}
