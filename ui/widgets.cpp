// stub, replaced by the module's implementation
