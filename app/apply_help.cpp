#include "app/apply_help.h"

#ifndef SPROING_VERSION
#error "SPROING_VERSION is set by the build, from the project's version"
#endif

// A fixed text on every platform, as sproing_dump's is.
#define SPROING_APPLY_USAGE "Usage: sproing_apply.exe [--skip-missing-bones] modelfile.mdl edits.qci output.mdl\n"

const char kApplyUsage[] = SPROING_APPLY_USAGE;

const char kApplyHelp[] =
    SPROING_APPLY_USAGE
    "Writes a copy of the model with the $jigglebone blocks of the edits in it, and changes nothing else.\n"
    "\n"
    "The rules of a block:\n"
    "  A bone's block states which of is_flexible, is_rigid and has_base_spring it has; a block left\n"
    "  out is removed, with a warning.\n"
    "  A limit is on exactly when its line (yaw_constraint, pitch_constraint, angle_constraint) stands\n"
    "  in a tip block; a limit whose line is left out is removed, with a warning.\n"
    "  Any other line left out keeps its stored value; bones not named are left alone.\n"
    "  allow_length_flex in is_flexible lets the tip's length flex; left out, the model keeps its own.\n"
    "  Angles are in degrees; a fraction of a degree is stored as written.\n"
    "  A whole model source will do: its other $commands are passed over ($include is not followed).\n"
    "\n"
    "  --skip-missing-bones  skip the blocks of bones the model lacks or that carry no jiggle rule\n"
    "  --help                print this and exit\n"
    "  --version             print the version and exit\n";

const char kApplyVersion[] = "sproing_apply " SPROING_VERSION "\n";
