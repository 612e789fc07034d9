"""The Vornex demo service: a small URL shortener on loopback.

Standard library only, so it starts wherever the client's tests run.
"""
