#pragma once
// How many piston memories a module program holds. The registration is written and read
// page by page, so the pistons are rounded up until a bank fills whole pages. The program
// keeps that count, and every piston's number, in one byte each.

namespace plenum {

class Element;

// The most piston memories one program can hold.
inline constexpr int MaxPistonMemories = 255;

// pistons rounded up so that pistons x pistonSize is a multiple of pageSize, in pistons.
int roundedPistons(int pistons, int pistonSize, int pageSize);

// The rounded count for the program of module `module`; when it would not fit its byte, a
// configuration error at `statement` says how many pistons do.
int pistonMemories(const Element& statement, int module, int pistons, int pistonSize,
                   int pageSize);

}  // namespace plenum
