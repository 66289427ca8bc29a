#include "tools/musicgen/score.h"

Score WriteScore()
{
    Score score;
    WriteDrums(score);
    WriteHarmony(score);
    WriteLead(score);
    return score;
}
