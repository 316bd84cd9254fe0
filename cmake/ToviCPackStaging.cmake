# Read by cpack before it installs into its staging folder: the installation being made there
# is a package's content, not an installation to register.
set(ENV{TOVI_PACKAGE_STAGING} 1)
