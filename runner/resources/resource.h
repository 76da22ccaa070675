// Resource identifiers shared by the code and Runner.rc (which both compilers read).
#define IDI_APP_ICON 101
