// The effect's one program: the three parameter values and a name.
#pragma once

struct ReverseProgram {
    static constexpr int maxNameLength = 23;

    float onOff = 1.0f;
    float buffSize = 1.0f;
    float noteMs = 0.0f;
    char name[maxNameLength + 1] = "Init";
};
