// Control identifiers shared by the dialog templates and the dialog procedures.
#pragma once

#define DestFolderEdit 101
#define ProgramsFolderText 102
#define StatusText 201

// The predefined control classes by their atoms: a class written by name would
// be stored in the template as a name, not as the atom.
#define ButtonClassAtom 0x0080
#define EditClassAtom 0x0081
#define StaticClassAtom 0x0082
