// Service registration at load.
